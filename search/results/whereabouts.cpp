// SPDX-License-Identifier: MIT
#include "search/results/whereabouts.h"

#include "search/results/display_name.h"

namespace zaptrove {

std::string fnWhereNote(const Bookmark& pRecord) {
    std::string note = pRecord.Folder.text();
    if (!pRecord.Origin.empty()) {
        note.append(note.empty() ? "" : " \u00b7 ").append(pRecord.Origin);
    }
    return note;
}

std::string fnRowDescription(const Bookmark& pRecord) {
    std::string text;
    text.append("Name: ").append(fnShownName(pRecord));
    text.append("\nAddress: ").append(pRecord.URL);
    text.append("\nSource: ").append(pRecord.Source.source());
    if (!pRecord.Source.profile().empty()) {
        text.append("\nProfile: ").append(pRecord.Source.profile());
    }
    const std::string folder = pRecord.Folder.text();
    text.append("\nFolder: ").append(folder.empty() ? "(top level)" : folder);
    if (pRecord.IsShortcut) {
        text.append("\nFile: ").append(pRecord.Name);
    }
    return text;
}

} // namespace zaptrove
