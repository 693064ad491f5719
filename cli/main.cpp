#include <exception>
#include <iostream>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Interrupt.h"

int main(int argc, char** argv) {
    const cli::ParseResult parsed = cli::parseCommandLine(argc, argv, std::cout, std::cerr);
    if (!parsed.options) return parsed.status;
    cli::catchInterrupt();
    try {
        return cli::CliRun(*parsed.options, std::cout, std::cerr).execute();
    } catch (const std::exception& error) {
        std::cerr << "pagelyst-cli: " << error.what() << "\n";
        return 2;
    }
}
