// SPDX-License-Identifier: MIT
// A stand-in browser: appends the path it was started by and each of its
// arguments, one a line, then "end", to the file $ZAPTROVE_STARTED_LOG names.
#include "platform/console.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    const std::string log = zaptrove::platform::environmentValue("ZAPTROVE_STARTED_LOG");
    std::string record = std::string(argc > 0 ? argv[0] : "") + "\n";
    for (const std::string& argument : zaptrove::platform::commandLineArguments(argc, argv))
        record += argument + "\n";
    return !log.empty() && zaptrove::platform::appendToFile(log, record + "end\n") ? 0 : 1;
}
