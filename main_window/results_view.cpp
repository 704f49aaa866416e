// SPDX-License-Identifier: MIT
#include "main_window/frm_main.h"

#include "search/results/display_name.h"
#include "search/results/result_list.h"
#include "search/results/whereabouts.h"
#include "search/run/search_run.h"

#include <algorithm>
#include <cmath>

namespace zaptrove {

namespace forms = platform::forms;

namespace {

constexpr std::int16_t kFirstExpandedHeight = 3000;
constexpr std::int16_t KEY_PLUS = 43;
constexpr std::int16_t KEY_MINUS = 45;

// A window height as the 16-bit Height setting holds it: whole twips, and a
// window taller than the field can hold is remembered as the tallest it can.
std::int16_t asHeightSetting(float twips) {
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(twips), 0.0f, 32767.0f));
}

} // namespace

// Starts the search for the typed text; its outcome shows as the expanded list
// with the first row selected, or "Nothing Found" selected in the input box.
void frmMain::subSearch() {
    const std::string searched = txtInput.text();
    subSearchInBackground(searched, [this, searched](SearchOutcome outcome, bool nameFirst) {
        // "Nothing Found" never replaces what was typed while the search ran.
        if (outcome.Found || txtInput.text() == searched) {
            subShowOutcome(std::move(outcome), nameFirst);
        }
    });
}

void frmMain::subShowOutcome(SearchOutcome pOutcome, bool pNameFirst) {
    if (!pOutcome.Found) {
        txtInput.setTabStop(true);
        txtInput.setText("Nothing Found");
        txtInput.setFocus();
        txtInput.setSelStart(0);
        txtInput.setSelLength(9999);
        return;
    }
    subShowList(std::move(pOutcome), pNameFirst, true);
}

void frmMain::subShowList(SearchOutcome pOutcome, bool pNameFirst, bool pFocusList) {
    ListedRows replaced(std::move(pOutcome.Results), std::move(pOutcome.KeptResults));
    std::swap(Results, replaced);
    // Only the rows in view are made, from the records: the list of a short
    // term may hold most of the bookmarks.
    const auto row = [this](std::size_t pRow) { return Results.at(pRow); };
    const auto line = [row, pNameFirst](std::size_t pRow) {
        const Bookmark* record = row(pRow);
        return record != nullptr ? fnListLine(pNameFirst, *record) : std::string();
    };
    if (settings_.ShowWhere == SHOW_WHERE_ON) {
        cboResult.setRows(Results.size(), line, [row](std::size_t pRow) {
            const Bookmark* record = row(pRow);
            return record != nullptr ? fnWhereNote(*record) : std::string();
        });
    } else {
        cboResult.setRows(Results.size(), line);
    }
    replacedList_.discard(std::move(replaced));
    if (static_cast<float>(settings_.Height) <= COLLAPSED_HEIGHT) {
        settings_.Height = kFirstExpandedHeight;
    }
    // Typed into as the list follows, the input box stays in reach beside it.
    if (pFocusList) {
        txtInput.setTabStop(false);
        cmdPrefereneces.setVisible(false);
    }
    cboResult.setVisible(true);
    cboResult.setListIndex(0);
    if (pFocusList) {
        cboResult.setFocus();
    }
    form.setHeight(settings_.Height);
}

const Bookmark* frmMain::selectedBookmark() const {
    const int row = cboResult.listIndex();
    return row >= 0 ? Results.at(static_cast<std::size_t>(row)) : nullptr;
}

// The tooltip tells where the selected bookmark comes from: a favorite's
// shortcut file, a bookmark file, or a browser's profile, followed by a
// Firefox bookmark's tags and every copy a merged row stands for; unless it describes the row under
// the mouse instead (rowToolTip).
void frmMain::cboResult_Click() {
    if (settings_.HoverTip == HOVER_TIP_ON) {
        return;
    }
    if (const Bookmark* selected = selectedBookmark()) {
        const std::string& name = selected->Name;
        const std::string origin = selected->Source.origin();
        std::string tip = !origin.empty()                  ? origin + " - " + name
                          : fnShownName(*selected) != name ? name
                                                           : "Bookmark - " + name;
        if (const std::string tags = fnTagsLine(*selected); !tags.empty()) {
            tip.append("\n").append(tags);
        }
        if (!selected->extras.get().otherCopies.empty()) {
            tip.append("\n").append(fnCopiesList(*selected));
        }
        cboResult.setToolTip(tip);
    }
}

// With HoverTip on, the row under the mouse in full; none over no row.
std::optional<std::string> frmMain::cboResult_RowToolTip(int pRow) const {
    if (settings_.HoverTip != HOVER_TIP_ON) {
        return std::nullopt;
    }
    const Bookmark* record = pRow >= 0 ? Results.at(static_cast<std::size_t>(pRow)) : nullptr;
    return record != nullptr ? fnRowDescription(*record) : std::string();
}

// With Shift held, a browser bookmark opens in a private window.
void frmMain::cboResult_DblClick() {
    if (const Bookmark* selected = selectedBookmark()) {
        subLaunch(*selected, forms::shiftHeld());
    }
}

// Enter opens the row and closes the list (Shift+Enter in a private window of
// its browser), "-" opens it and keeps the list, "+" copies its address. Every
// key still reaches the list.
void frmMain::cboResult_KeyPress(std::int16_t& KeyAscii) {
    const Bookmark* selected = selectedBookmark();
    if (selected == nullptr) {
        return;
    }
    const Bookmark chosen = *selected;
    const std::string& url = chosen.URL;
    switch (KeyAscii) {
    case forms::KEY_RETURN:
        // The list closes: a search still running would open it again.
        subStopSearch();
        txtInput.setText("");
        txtInput.setTabStop(true);
        subLaunch(chosen, forms::shiftHeld());
        forms::doEvents();
        cboResult.setVisible(false);
        cmdPrefereneces.setVisible(true);
        if (!isMinimized()) {
            rememberExpandedHeight();
            txtInput.setFocus();
        }
        break;
    case KEY_PLUS:
        form.setHeight(settings_.Height);
        forms::clipboardClear();
        forms::clipboardSetText(url);
        forms::doEvents();
        subShowNotice("Address copied");
        break;
    case KEY_MINUS:
        subLaunch(chosen);
        break;
    default:
        break;
    }
}

// Cancel (or Escape) closes the list, or the program when no list is shown.
// Searching as you type, it first clears what was typed (and drops its
// search); a search Enter started is stopped, and nothing more happens.
void frmMain::cmdCancel_Click() {
    if (subStopSearch() && !searchesAsTyped()) {
        return;
    }
    const bool typed = searchesAsTyped() && !txtInput.text().empty();
    if (!cboResult.visible() && !typed) {
        form.unload();
        return;
    }
    txtInput.setText("");
    if (cboResult.visible()) {
        subCloseList();
    } else {
        txtInput.setFocus();
    }
}

void frmMain::subCloseList() {
    cmdPrefereneces.setVisible(true);
    cboResult.setVisible(false);
    txtInput.setTabStop(true);
    txtInput.setFocus();
    rememberExpandedHeight();
}

void frmMain::rememberExpandedHeight() {
    settings_.Height = asHeightSetting(form.height());
    form.setHeight(COLLAPSED_HEIGHT);
}

} // namespace zaptrove
