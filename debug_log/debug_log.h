// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clock.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <string_view>

// The diagnostic log: one time-stamped line per call while logging is on.
namespace zaptrove {

// Kinds of log line and the mark each opens with.
inline constexpr std::int16_t LOG_STAR = -1;  // "* "
inline constexpr std::int16_t LOG_FAIL = 9;   // "! "
inline constexpr std::int16_t LOG_INFO = 10;  // "$ "
inline constexpr std::int16_t LOG_BEGIN = 11; // "+ "
inline constexpr std::int16_t LOG_END = 12;   // "- "

// "$ [05/12/03 - 14:07:31] Searching by NAME": mark, date, time and text, without
// the line end.
std::string fnLogLine(std::int16_t pType, std::string_view pString, const platform::LocalTime& pAt);

// Where the log goes by default: "ztvdebug.log" beside the executable or, when
// that folder is not writable, in the user's state folder.
std::string fnDefaultLogPath();

class DebugLog {
  public:
    // Writes while debugMode, the caller's switch (Settings.DebugMode), is
    // DEBUG_ON; it is looked at for every line, so switching it takes effect at
    // once. An empty path means the default place, looked up again for every line.
    DebugLog(const std::int16_t& debugMode, const platform::Clock& clock, std::string path = {});

    // A log that never writes.
    static const DebugLog& silent();

    // Writes one line when the switch is DEBUG_ON; otherwise does nothing.
    // A line that cannot be written is lost silently.
    void subDebug(std::int16_t pType, std::string_view pString) const;

    // Writes pLabel followed by the seconds-since-midnight timer in Str form.
    void subDebugTimer(std::int16_t pType, std::string_view pLabel) const;

    // True when lines are written.
    bool isOn() const;
    // Where the lines go, as the system writes the path.
    std::string path() const;

  private:
    const std::int16_t& debugMode_;
    const platform::Clock& clock_;
    std::string path_;
};

} // namespace zaptrove
