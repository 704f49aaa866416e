// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"

#include "debug_log/str_form.h"
#include "platform/files.h"
#include "platform/separators.h"

#include <cstdio>

namespace zaptrove {

namespace {

const char* markOf(std::int16_t pType) {
    switch (pType) {
    case LOG_STAR:
        return "* ";
    case LOG_FAIL:
        return "! ";
    case LOG_INFO:
        return "$ ";
    case LOG_BEGIN:
        return "+ ";
    case LOG_END:
        return "- ";
    default:
        return "? ";
    }
}

} // namespace

std::string fnLogLine(std::int16_t pType, std::string_view pString,
                      const platform::LocalTime& pAt) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "[%02d/%02d/%02d - %02d:%02d:%02d] ", pAt.day % 100,
                  pAt.month % 100, pAt.year % 100, pAt.hour % 100, pAt.minute % 100,
                  pAt.second % 100);
    std::string line = markOf(pType);
    line += stamp;
    line += pString;
    return line;
}

constexpr const char* kLogName = "ztvdebug.log";

std::string fnDefaultLogPath() {
    const std::string folder = platform::programFolder();
    if (platform::isWritableFolder(folder)) {
        return platform::folderPath(folder) + kLogName;
    }
    const std::string fallback = platform::userStateFolder();
    if (fallback.empty()) {
        return {};
    }
    platform::makeFolders(fallback);
    return platform::folderPath(fallback) + kLogName;
}

DebugLog::DebugLog(const std::int16_t& debugMode, const platform::Clock& clock, std::string path)
    : debugMode_(debugMode), clock_(clock), path_(std::move(path)) {}

const DebugLog& DebugLog::silent() {
    static constexpr std::int16_t kOff = DEBUG_OFF;
    static const DebugLog log(kOff, platform::systemClock());
    return log;
}

void DebugLog::subDebug(std::int16_t pType, std::string_view pString) const {
    if (!isOn()) {
        return;
    }
    const std::string line = fnLogLine(pType, pString, clock_.now()) + "\r\n";
    platform::appendToFile(path(), line);
}

std::string DebugLog::path() const {
    return platform::nativePath(path_.empty() ? fnDefaultLogPath() : path_);
}

void DebugLog::subDebugTimer(std::int16_t pType, std::string_view pLabel) const {
    if (!isOn()) {
        return;
    }
    subDebug(pType, std::string(pLabel) + fnStrSingle(clock_.secondsSinceMidnight()));
}

bool DebugLog::isOn() const {
    return debugMode_ == DEBUG_ON;
}

} // namespace zaptrove
