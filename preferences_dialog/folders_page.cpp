// SPDX-License-Identifier: MIT
#include "preferences_dialog/folders_page.h"

#include "settings/name_lists.h"

namespace zaptrove {

FoldersPage::FoldersPage(platform::forms::Form& pDialog)
    : fraFolders(pDialog, kLeft, kTop, kWidth, kHeight, "Folders"),
      chkFolderWords(fraFolders, 120, 300, 6900, 255, "Find the typed words in folder names too"),
      lblFolderWords(fraFolders, 420, 570, 6600, 480,
                     "In a search by name or by both; with words in any order, \"work jira\" "
                     "finds \"Jira board\" in the folder \"Work\"."),
      lblLeaveOut(fraFolders, 120, 1200, 6900, 240, "Leave out the bookmarks in the folders:"),
      txtLeaveOut(fraFolders, 120, 1470, 6900, 285),
      lblLeaveOutHint(fraFolders, 120, 1830, 6900, 720,
                      "Folder names with \";\" between them (\"Private; Old\"), letter case "
                      "ignored: a bookmark in a folder of one of these names, or in any folder "
                      "inside it, is not listed.") {}

void FoldersPage::load(const Settings& pSettings) {
    chkFolderWords.setValue(pSettings.FolderWords == FOLDER_WORDS_ON);
    txtLeaveOut.setText(pSettings.LeaveOut);
}

void FoldersPage::store(Settings& pSettings) const {
    pSettings.FolderWords = chkFolderWords.value() ? FOLDER_WORDS_ON : FOLDER_WORDS_OFF;
    pSettings.LeaveOut =
        fnJoinNames(fnSplitNames(txtLeaveOut.text(), kLeaveOutSeparator), kLeaveOutSeparator);
}

} // namespace zaptrove
