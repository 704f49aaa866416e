// SPDX-License-Identifier: MIT
#ifndef _WIN32
#include "support/fake_browsers.h"

#include <chrono>
#include <cstdio>
#include <sys/stat.h>
#include <thread>

namespace zaptrove::test {

std::string FakeBrowsers::program(const std::string& pRelative) const {
    std::string path =
        t_.write(pRelative, "#!/bin/sh\n{ echo \"$0\"; printf '%s\\n' \"$@\"; echo end; } >>'" +
                                (t_ / "started.log") + "'\n");
    chmod(path.c_str(), 0755);
    return path;
}

std::string FakeBrowsers::started() const {
    using namespace std::chrono_literals;
    const std::string log = t_ / "started.log";
    for (int i = 0; i < 500 && !readFile(log).ends_with("end\n"); ++i) {
        std::this_thread::sleep_for(20ms);
    }
    std::string record = readFile(log);
    std::remove(log.c_str());
    return record;
}

} // namespace zaptrove::test
#endif
