// SPDX-License-Identifier: MIT
#include "platform/program_start.h"

#include "platform/posix/detached_start.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zaptrove::platform {

namespace {

class SpawningStarter final : public ProgramStarter {
  public:
    bool startProgram(const std::vector<std::string>& pArguments) override {
        return startDetached(pArguments);
    }
};

} // namespace

ProgramStarter& systemProgramStarter() {
    static SpawningStarter starter;
    return starter;
}

bool isProgramFile(std::string_view pPath) {
    const std::string path(pPath);
    struct stat status {};
    return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

} // namespace zaptrove::platform
