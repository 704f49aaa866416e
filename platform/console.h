// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// The command line and the console of a command-line program.
namespace zaptrove::platform {

// The program's arguments after its own name, in UTF-8. On Windows they come
// from the wide command line, since argv holds them in the ANSI code page.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// While one lives, a console shows the UTF-8 the program writes: Windows
// switches the console's output code page and puts the old one back after.
class Utf8Console {
  public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    [[maybe_unused]] unsigned savedCodePage_ = 0; // Windows: the page to put back
};

} // namespace zaptrove::platform
