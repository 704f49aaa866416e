// SPDX-License-Identifier: MIT
#include "preferences_dialog/list_page.h"

namespace zaptrove {

ListPage::ListPage(platform::forms::Form& pDialog)
    : fraList(pDialog, kLeft, kTop, kWidth, kHeight, "List"),
      chkHoverTip(fraList, 120, 300, 6900, 255, "The tooltip describes the row under the mouse"),
      lblHoverTip(fraList, 420, 570, 6600, 480,
                  "Its whole name and address, its source, profile and folder; otherwise the "
                  "tooltip tells where the selected row comes from."),
      chkShowWhere(fraList, 120, 1200, 6900, 255, "Show where each bookmark lives"),
      lblShowWhere(fraList, 420, 1470, 6600, 480,
                   "Each line ends with the bookmark's folder, and the browser and profile of a "
                   "browser bookmark, after its address."),
      chkMergeCopies(fraList, 120, 2100, 6900, 255, "One row per address"),
      lblMergeCopies(fraList, 420, 2370, 6600, 480,
                     "Copies of one address in several browsers or files make one row, which "
                     "opens the first copy; its tooltip lists every copy."),
      chkRankByUse(fraList, 120, 3000, 6900, 255, "Order by use"),
      lblRankByUse(fraList, 420, 3270, 6600, 720,
                   "What you opened from Zaptrove comes first, then what the browsers visit "
                   "most; the order of the Preferences dialog decides between the others.") {}

void ListPage::load(const Settings& pSettings) {
    chkHoverTip.setValue(pSettings.HoverTip == HOVER_TIP_ON);
    chkShowWhere.setValue(pSettings.ShowWhere == SHOW_WHERE_ON);
    chkMergeCopies.setValue(pSettings.MergeCopies == MERGE_COPIES_ON);
    chkRankByUse.setValue(pSettings.RankByUse == RANK_USE_ON);
}

void ListPage::store(Settings& pSettings) const {
    pSettings.HoverTip = chkHoverTip.value() ? HOVER_TIP_ON : HOVER_TIP_OFF;
    pSettings.ShowWhere = chkShowWhere.value() ? SHOW_WHERE_ON : SHOW_WHERE_OFF;
    pSettings.MergeCopies = chkMergeCopies.value() ? MERGE_COPIES_ON : MERGE_COPIES_OFF;
    pSettings.RankByUse = chkRankByUse.value() ? RANK_USE_ON : RANK_USE_OFF;
}

} // namespace zaptrove
