// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lists of names held in one stored text.
namespace zaptrove {

// The names of pText between the separators, blanks around each dropped,
// empty ones left out: "Private; Old " gives "Private" and "Old".
std::vector<std::string> fnSplitNames(std::string_view pText, char pSeparator);

// The names with the separator between them (a blank after a ";").
std::string fnJoinNames(const std::vector<std::string>& pNames, char pSeparator);

// The folders whose bookmarks are left out, as LeaveOut lists them.
inline constexpr char kLeaveOutSeparator = ';';
// The profile folders switched off, as ProfilesOff lists them.
inline constexpr char kProfilesOffSeparator = '\n';

} // namespace zaptrove
