// SPDX-License-Identifier: MIT
#include "settings/local_state.h"

#include <rapidjson/document.h>

namespace zaptrove {

std::vector<LocalStateProfile> fnReadLocalStateProfiles(std::string_view pJson) {
    std::vector<LocalStateProfile> profiles;
    rapidjson::Document document;
    // Iterative parsing: a deeply nested file cannot exhaust the stack.
    document.Parse<rapidjson::kParseIterativeFlag>(pJson.data(), pJson.size());
    if (document.HasParseError() || !document.IsObject()) {
        return profiles;
    }
    const auto member = [](const rapidjson::Value& object,
                           const char* name) -> const rapidjson::Value* {
        if (!object.IsObject()) {
            return nullptr;
        }
        const auto found = object.FindMember(name);
        return found == object.MemberEnd() ? nullptr : &found->value;
    };
    const rapidjson::Value* profile = member(document, "profile");
    const rapidjson::Value* cache = profile ? member(*profile, "info_cache") : nullptr;
    if (cache == nullptr || !cache->IsObject()) {
        return profiles;
    }
    for (const auto& entry : cache->GetObject()) {
        LocalStateProfile found{std::string(entry.name.GetString(), entry.name.GetStringLength()),
                                {}};
        // Only a plain folder name can name a profile folder inside the user's data.
        if (found.folder.empty() || found.folder == "." || found.folder == ".." ||
            found.folder.find_first_of(std::string_view("/\\:\0", 4)) != std::string::npos) {
            continue;
        }
        const rapidjson::Value* name = member(entry.value, "name");
        found.name = name != nullptr && name->IsString() && name->GetStringLength() > 0
                         ? std::string(name->GetString(), name->GetStringLength())
                         : found.folder;
        profiles.push_back(std::move(found));
    }
    return profiles;
}

} // namespace zaptrove
