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
    text.append("\nFolder: ").append(folderText(pRecord.Folder));
    if (const std::string tags = fnTagsLine(pRecord); !tags.empty()) {
        text.append("\n").append(tags);
    }
    if (pRecord.IsShortcut) {
        text.append("\nFile: ").append(pRecord.Name);
    }
    if (!pRecord.OtherCopies.empty()) {
        text.append("\n").append(fnCopiesList(pRecord));
    }
    return text;
}

std::string fnTagsLine(const Bookmark& pRecord) {
    std::string text;
    if (!pRecord.Tags) {
        return text;
    }
    for (const std::string& tag : *pRecord.Tags) {
        text.append(text.empty() ? "Tags: " : ", ").append(tag);
    }
    return text;
}

std::string fnCopiesList(const Bookmark& pRecord) {
    if (pRecord.OtherCopies.empty()) {
        return {};
    }
    std::string text = "Copies: " + std::to_string(pRecord.OtherCopies.size() + 1);
    appendCopy(text, pRecord.Source, pRecord.Folder);
    for (const BookmarkCopy& copy : pRecord.OtherCopies) {
        appendCopy(text, copy.Source, copy.Folder);
    }
    return text;
}

} // namespace zaptrove
