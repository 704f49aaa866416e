// SPDX-License-Identifier: MIT
#include "launch/browser_command.h"

#include "launch/browser_program.h"

#include "platform/files.h"
#include "platform/separators.h"

namespace zaptrove {

namespace {

std::vector<std::string> chromiumArguments(const BrowserProfile& profile, bool ownInstall,
                                           bool privateWindow) {
    std::string userData = profile.folder;
    std::string directory;
    // A profile folder lies in its user-data folder beside "Local State"; a
    // folder holding that file is a user-data folder with its one profile.
    const std::size_t end = profile.folder.find_last_of(platform::kSeparators);
    if (platform::isAbsent(profile.folder + "/Local State") && end != std::string::npos) {
        userData = profile.folder.substr(0, end);
        directory = profile.folder.substr(end + 1);
    }
    std::vector<std::string> arguments;
    if (!ownInstall) {
        arguments.push_back("--user-data-dir=" + userData);
    }
    if (!directory.empty()) {
        arguments.push_back("--profile-directory=" + directory);
    }
    if (privateWindow) {
        arguments.emplace_back(fnPrivateWindowSwitch(profile.browser));
    }
    return arguments;
}

} // namespace

std::vector<std::string> fnBrowserArguments(const BrowserProfile& pProfile, bool pOwnInstall,
                                            bool pPrivate, const std::string& pAddress) {
    std::vector<std::string> arguments;
    if (fnUsesPlaces(pProfile.browser)) {
        arguments = {"--profile", pProfile.folder,
                     std::string(pPrivate ? fnPrivateWindowSwitch(pProfile.browser) : "--new-tab")};
    } else {
        arguments = chromiumArguments(pProfile, pOwnInstall, pPrivate);
    }
    arguments.push_back(pAddress);
    return arguments;
}

} // namespace zaptrove
