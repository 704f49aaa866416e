// SPDX-License-Identifier: MIT
#pragma once

#include "support/scoped_environment.h"
#include "support/temp_folder.h"

#include <string>

namespace zaptrove::test {

// Programs and desktop entries put in place of the system's (PATH, XDG_DATA_*) while it lives;
// each program is a copy of support/fake_browser.cpp, which logs its arguments to started.log.
class FakeBrowsers {
  public:
    explicit FakeBrowsers(const TempFolder& pFolder);

    // Makes a recording program (with the platform's program suffix) and answers its path.
    std::string program(const std::string& pRelative) const;
    // Writes a desktop entry of this id whose command is pExec.
    void entry(const std::string& pId, const std::string& pExec) const {
        t_.write("data/applications/" + pId,
                 "[Desktop Entry]\nType=Application\nExec=" + pExec + "\n");
    }
    // What the programs were started with, once one has ended (waiting a while
    // for it); the record is emptied for the next start.
    std::string started() const;

  private:
    const TempFolder& t_;
    ScopedEnvironment environment_;
};

} // namespace zaptrove::test
