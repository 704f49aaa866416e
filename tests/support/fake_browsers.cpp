// SPDX-License-Identifier: MIT
#include "support/fake_browsers.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace zaptrove::test {

FakeBrowsers::FakeBrowsers(const TempFolder& pFolder) : t_(pFolder) {
    environment_.set("ZAPTROVE_STARTED_LOG", t_ / "started.log");
#ifndef _WIN32 // Windows finds browsers in the registry
    environment_.set("PATH", t_.makeFolder("bin"));
    environment_.set("XDG_DATA_HOME", t_ / "data-home");
    environment_.set("XDG_DATA_DIRS", t_ / "data");
#endif
}

std::string FakeBrowsers::program(const std::string& pRelative) const {
    std::string path = t_ / (pRelative + ZAPTROVE_EXE_SUFFIX);
    std::filesystem::create_directories(utf8Path(path).parent_path());
    std::filesystem::copy_file(utf8Path(ZAPTROVE_FAKE_BROWSER), utf8Path(path),
                               std::filesystem::copy_options::overwrite_existing);
    return path;
}

std::string FakeBrowsers::started() const {
    using namespace std::chrono_literals;
    const std::string log = t_ / "started.log";
    for (int i = 0; i < 500 && !readFile(log).ends_with("end\n"); ++i)
        std::this_thread::sleep_for(20ms);
    std::string record = readFile(log);
    std::remove(log.c_str());
    return record;
}

} // namespace zaptrove::test
