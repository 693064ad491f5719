#pragma once

#include <string>

// Starting other programs for the user: a web browser, the desktop's handler for an address.
//
// A program is started directly (searched on PATH when its name has no "/") with the argument
// passed as one argument exactly as given: no shell reads it, so spaces, quotes and ";" in an
// address are harmless. The caller never waits for the program. A detached thread of this
// process waits for it instead, so no zombie is left behind; a double fork would do the same,
// but forking a process that runs worker threads leaves the child in a state where little is
// safe to call, and the grandchild's failure to start could no longer be reported. The child
// runs in a session of its own (closing the terminal does not end the browser), with the
// default signal mask and dispositions and none of this process's descriptors above 2.
namespace platform {

// Starts `program` with `argument` as its only argument. False when it cannot be started (not
// found, not executable, no process or thread left).
bool openWith(const std::string& program, const std::string& argument);

// Opens an address (or a file) with the desktop's handler for it: "xdg-open" with the address
// as its single argument. False when xdg-open cannot be started.
bool openAddress(const std::string& address);

}  // namespace platform
