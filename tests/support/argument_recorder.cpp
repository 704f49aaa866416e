// SPDX-License-Identifier: MIT
// Appends each of its arguments after the first to the file the first names,
// one a line, then "end": what a started program was handed, as it received it.
#include "platform/console.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = zaptrove::platform::commandLineArguments(argc, argv);
    if (arguments.empty())
        return 2;
    std::string record;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        record += arguments[i] + "\n";
    return zaptrove::platform::appendToFile(arguments[0], record + "end\n") ? 0 : 1;
}
