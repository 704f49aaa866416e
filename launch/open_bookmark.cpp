// SPDX-License-Identifier: MIT
#include "launch/open_bookmark.h"

#include "debug_log/debug_log.h"
#include "launch/browser_command.h"
#include "platform/program_start.h"
#include "platform/shell.h"
#include "platform/shell_address.h"
#include "search/sources/browser_source_reader.h"
#include "search/sources/launch_record.h"

namespace zaptrove {

namespace {

// The command as the log shows it: arguments apart, each in quotes.
std::string shownCommand(const std::vector<std::string>& arguments) {
    std::string shown;
    for (const std::string& argument : arguments) {
        shown += (shown.empty() ? "\"" : " \"") + argument + '"';
    }
    return shown;
}

// Starts the profile's browser with the address; false, after saying why in
// the log, when there is no program or it does not start.
bool startOwnBrowser(const Bookmark& bookmark, bool privateWindow, const Openers& openers,
                     const DebugLog& log) {
    const BrowserProfile& profile = *bookmark.Source.browser();
    const BrowserProgram program = fnFindBrowserProgram(profile, openers.places);
    if (program.command.empty()) {
        log.subDebug(LOG_FAIL, "No program found for " + fnBrowserSourceLabel(profile) +
                                   ": opening with the desktop's default");
        return false;
    }
    std::vector<std::string> command = program.command;
    for (std::string& argument :
         fnBrowserArguments(profile, program.ownInstall, privateWindow, bookmark.URL)) {
        command.push_back(std::move(argument));
    }
    log.subDebug(LOG_INFO, "Starting (" + program.foundAs + "): " + shownCommand(command));
    if (!openers.starter.startProgram(command)) {
        log.subDebug(LOG_FAIL,
                     "Could not start " + command.front() + ": opening with the desktop's default");
        return false;
    }
    return true;
}

} // namespace

bool fnOpenBookmark(const Bookmark& pBookmark, bool pOwnBrowser, bool pPrivate,
                    const Openers& pOpeners, const DebugLog& pLog) {
    if (pBookmark.UnsentPostData) {
        pLog.subDebug(LOG_INFO, "Keyword with POST data opened as a plain address, "
                                "its POST data not sent: " +
                                    pBookmark.URL);
    }
    const bool openable = platform::isOpenableAddress(pBookmark.URL);
    if (openable && !pOpeners.launchRecord.empty() &&
        !fnRecordLaunch(pOpeners.launchRecord, pBookmark.URL, fnSecondsSince1970())) {
        pLog.subDebug(LOG_FAIL, "The open could not be recorded in " + pOpeners.launchRecord);
    }
    if (openable && pOwnBrowser && pBookmark.Source.browser() != nullptr &&
        startOwnBrowser(pBookmark, pPrivate, pOpeners, pLog)) {
        return true;
    }
    pOpeners.shell.openAddress(pBookmark.URL, pOpeners.ownerWindow);
    return openable;
}

} // namespace zaptrove
