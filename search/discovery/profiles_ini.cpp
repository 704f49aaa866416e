// SPDX-License-Identifier: MIT
#include "search/discovery/profiles_ini.h"

#include <algorithm>
#include <set>

namespace zaptrove {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// One line at a time, with the bytes of a leading BOM dropped.
class Lines {
  public:
    explicit Lines(std::string_view text) : rest_(text) {
        if (rest_.starts_with("\xEF\xBB\xBF")) {
            rest_.remove_prefix(3);
        }
    }
    bool next(std::string_view& line) {
        if (rest_.empty()) {
            return false;
        }
        const std::size_t end = std::min(rest_.find('\n'), rest_.size());
        line = trimmed(rest_.substr(0, end));
        rest_.remove_prefix(std::min(end + 1, rest_.size()));
        return true;
    }

  private:
    std::string_view rest_;
};

} // namespace

std::vector<ProfilesIniEntry> fnReadProfilesIni(std::string_view pText) {
    enum class Section { Profile, Install, Other };
    std::vector<ProfilesIniEntry> profiles;
    std::set<std::string_view> installDefaults;
    Section section = Section::Other;
    ProfilesIniEntry current;
    const auto endSection = [&] {
        if (section == Section::Profile && !current.Path.empty()) {
            profiles.push_back(current);
        }
        current = {};
    };
    Lines lines(pText);
    std::string_view line;
    while (lines.next(line)) {
        if (line.starts_with('[')) {
            endSection();
            const std::string_view name = line.substr(1);
            section = name.starts_with("Profile")   ? Section::Profile
                      : name.starts_with("Install") ? Section::Install
                                                    : Section::Other;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || section == Section::Other) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (section == Section::Install) {
            if (key == "Default" && !value.empty()) {
                installDefaults.insert(value);
            }
        } else if (key == "Name") {
            current.Name = value;
        } else if (key == "Path") {
            current.Path = value;
        } else if (key == "IsRelative") {
            current.IsRelative = value != "0";
        } else if (key == "Default") {
            current.IsDefault = value == "1";
        }
    }
    endSection();
    const auto namedByInstall = [&](const ProfilesIniEntry& profile) {
        return installDefaults.contains(profile.Path);
    };
    if (std::any_of(profiles.begin(), profiles.end(), namedByInstall)) {
        for (ProfilesIniEntry& profile : profiles) {
            profile.IsDefault = namedByInstall(profile);
        }
    }
    return profiles;
}

} // namespace zaptrove
