#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Interrupt.h"

namespace {

constexpr int kUsageError = 2;

int outputFailed(int code) {
    std::cerr << "pagelyst-cli: cannot write to standard output (" << std::strerror(code) << ")\n";
    return kUsageError;
}

// What was printed has to have reached standard output: a full disk or a closed pipe makes the
// run a failure, never a silent success.
int finished(int status) {
    errno = 0;
    std::cout.flush();
    if (!std::cout) return outputFailed(errno != 0 ? errno : EIO);
    return status;
}

int run(int argc, char** argv) {
    const cli::ParseResult parsed = cli::parseCommandLine(argc, argv, std::cout, std::cerr);
    if (!parsed.options) return parsed.status;
    cli::catchInterrupt();
    try {
        return cli::CliRun(*parsed.options, std::cout, std::cerr).execute();
    } catch (const std::exception& error) {
        std::cerr << "pagelyst-cli: " << error.what() << "\n";
        return kUsageError;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Without a standard output the first file opened would take its number and receive the
    // results: refuse before anything is measured.
    if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) return outputFailed(errno);
    return finished(run(argc, argv));
}
