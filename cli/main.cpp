// SPDX-License-Identifier: MIT
#include "cli/find_command.h"
#include "platform/console.h"
#include "platform/heap_pages.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    zaptrove::platform::preferLargeHeapPages();
    const zaptrove::platform::Utf8Console console;
    return zaptrove::fnRunFind(zaptrove::platform::commandLineArguments(argc, argv), std::cout,
                               std::cerr, {}, zaptrove::FindRecords::LeftToExit);
}
