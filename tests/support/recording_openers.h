// SPDX-License-Identifier: MIT
#pragma once

#include "platform/program_start.h"
#include "platform/shell.h"

#include <string>
#include <vector>

namespace zaptrove::test {

// A desktop and a program starter that only record what they were asked to open or start.
struct RecordingOpeners final : platform::Shell, platform::ProgramStarter {
    std::vector<std::string> opened;               // addresses, in order
    std::vector<std::vector<std::string>> started; // each program with its arguments
    bool starts = true;                            // what a start answers

    void openAddress(std::string_view pAddress, std::uintptr_t) override {
        opened.emplace_back(pAddress);
    }
    bool startProgram(const std::vector<std::string>& pArguments) override {
        started.push_back(pArguments);
        return starts;
    }
};

} // namespace zaptrove::test
