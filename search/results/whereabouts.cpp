// SPDX-License-Identifier: MIT
#include "search/results/whereabouts.h"

#include "search/results/display_name.h"

namespace zaptrove {

namespace {

std::string folderText(const FolderPath& folder) {
    std::string text = folder.text();
    return text.empty() ? "(top level)" : text;
}

void appendCopy(std::string& text, const SourceName& source, const FolderPath& folder) {
    text.append("\n").append(source.source());
    if (!source.profile().empty()) {
        text.append(", profile ").append(source.profile());
    }
    text.append(" \u00b7 ").append(folderText(folder));
}

} // namespace

std::string fnWhereNote(const Bookmark& pRecord) {
    std::string note = pRecord.Folder.text();
    if (const std::string origin = pRecord.Source.origin(); !origin.empty()) {
        note.append(note.empty() ? "" : " \u00b7 ").append(origin);
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
    text.append("\nFolder: ").append(folderText(pRecord.Folder));
    if (const std::string tags = fnTagsLine(pRecord); !tags.empty()) {
        text.append("\n").append(tags);
    }
    if (pRecord.IsShortcut) {
        text.append("\nFile: ").append(pRecord.Name);
    }
    if (!pRecord.extras.get().otherCopies.empty()) {
        text.append("\n").append(fnCopiesList(pRecord));
    }
    return text;
}

std::string fnTagsLine(const Bookmark& pRecord) {
    std::string text;
    const auto& tags = pRecord.extras.get().tags;
    if (!tags) {
        return text;
    }
    for (const std::string& tag : *tags) {
        text.append(text.empty() ? "Tags: " : ", ").append(tag);
    }
    return text;
}

std::string fnCopiesList(const Bookmark& pRecord) {
    const std::vector<BookmarkCopy>& copies = pRecord.extras.get().otherCopies;
    if (copies.empty()) {
        return {};
    }
    std::string text = "Copies: " + std::to_string(copies.size() + 1);
    appendCopy(text, pRecord.Source, pRecord.Folder);
    for (const BookmarkCopy& copy : copies) {
        appendCopy(text, copy.Source, copy.Folder);
    }
    return text;
}

} // namespace zaptrove
