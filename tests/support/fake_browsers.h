// SPDX-License-Identifier: MIT
#pragma once

#ifndef _WIN32

#include "support/temp_folder.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove::test {

// Programs and desktop entries in a temporary folder, put in place of the
// system's ($PATH, $XDG_DATA_HOME, $XDG_DATA_DIRS) for the object's lifetime.
// Each program it makes writes its path and arguments to started.log, one a
// line, then "end".
class FakeBrowsers {
  public:
    explicit FakeBrowsers(const TempFolder& pFolder) : t_(pFolder) {
        t_.makeFolder("bin");
        set("PATH", t_ / "bin");
        set("XDG_DATA_HOME", t_ / "data-home");
        set("XDG_DATA_DIRS", t_ / "data");
    }
    ~FakeBrowsers() {
        for (auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    FakeBrowsers(const FakeBrowsers&) = delete;
    FakeBrowsers& operator=(const FakeBrowsers&) = delete;

    // Makes a recording program and answers its path.
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
    void set(const char* pName, const std::string& pValue) {
        const char* old = std::getenv(pName);
        saved_.emplace_back(pName, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(pName, pValue.c_str(), 1);
    }

    const TempFolder& t_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace zaptrove::test

#endif
