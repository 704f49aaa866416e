// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Starting a program with its arguments, never through a command interpreter.
namespace zaptrove::platform {

class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // Starts pArguments[0] (a path, or a name looked up on PATH) with the
    // other elements as its arguments, each handed over as it is, and returns
    // once it has started, without waiting for it to end; the program may end
    // right after. False when it could not be started.
    virtual bool startProgram(const std::vector<std::string>& pArguments) = 0;
};

// The real one: posix_spawn on POSIX, CreateProcessW on Windows.
ProgramStarter& systemProgramStarter();

// True when the path names a file this user may run.
bool isProgramFile(std::string_view pPath);

} // namespace zaptrove::platform
