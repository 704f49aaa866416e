// SPDX-License-Identifier: MIT
#pragma once

#include "platform/program_start.h"
#include "platform/shell.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace zaptrove {

// zaptrove-find's exit statuses.
inline constexpr int FIND_FOUND = 0;
inline constexpr int FIND_NOTHING_FOUND = 1;
inline constexpr int FIND_USAGE_ERROR = 2;
inline constexpr int FIND_NO_SOURCE_READ = 3; // no enabled source could be read, or none is enabled
inline constexpr int FIND_WRITE_ERROR = 4;    // the output could not be written
inline constexpr int FIND_NOT_OPENED = 5;     // --open: the address cannot be opened

// What --open opens bookmarks with; tests pass recording ones.
struct FindOpeners {
    platform::Shell* shell = &platform::desktopShell();
    platform::ProgramStarter* starter = &platform::systemProgramStarter();
};

// What becomes of the records found once their lines are written: freed, as a
// process running many searches needs, or left for the process's end to take
// back at once, which spares visiting each of them.
enum class FindRecords { Freed, LeftToExit };

// zaptrove-find: runs one search with the options given and prints the result
// lines, or opens the first result with --open; each source that could not be
// read is named on pErr. Answers the exit status.
int fnRunFind(const std::vector<std::string>& pArgs, std::ostream& pOut, std::ostream& pErr,
              const FindOpeners& pOpeners = {}, FindRecords pEnd = FindRecords::Freed);

} // namespace zaptrove
