#pragma once

namespace cli {

// Ctrl+C (SIGINT) while a run goes on: the handler only records it; the run's loop sees it
// within one turn and stops the transfers.
void catchInterrupt();
bool interrupted();
// Lets tests and a second run start clean.
void clearInterrupt();

}  // namespace cli
