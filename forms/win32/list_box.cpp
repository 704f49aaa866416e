// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The list box holds no text of its own (LBS_NODATA): it knows only how many
// rows there are, and asks its parent to draw each row it shows from ListRows.
namespace zaptrove::platform::forms {

namespace {

// The blanks between a row's line and its note.
constexpr std::wstring_view kNoteGap = L"    ";
// The blank on each side of a row's text, in pixels.
constexpr int kTextMargin = 2;
// How many of the longest rows are measured for the list's scroll width.
constexpr std::size_t kMeasuredRows = 64;

// A text's width estimated in average letters: a code point beyond ASCII
// counts twice, as ideographs and most other scripts draw up to about twice as
// wide as a Latin letter.
std::size_t widthUnits(std::string_view pText) {
    std::size_t units = 0;
    for (const char byte : pText) {
        const auto code = static_cast<unsigned char>(byte);
        units += code < 0x80 ? 1 : (code & 0xC0) == 0xC0 ? 2 : 0;
    }
    return units;
}

// A row as drawn: its line, then its note after the gap, if it has one.
struct RowText {
    std::wstring line;
    std::wstring note;
};

RowText rowText(const ListRows& pRows, std::size_t pRow) {
    RowText text{toWide(pRows.line(pRow)), {}};
    if (const std::string_view note = pRows.note(pRow); !note.empty()) {
        text.note = std::wstring(kNoteGap) + toWide(note);
    }
    return text;
}

int textWidth(HDC pContext, const std::wstring& pText) {
    SIZE size{};
    GetTextExtentPoint32W(pContext, pText.c_str(), static_cast<int>(pText.size()), &size);
    return size.cx;
}

HFONT fontOf(HWND pWindow) {
    return reinterpret_cast<HFONT>(SendMessageW(pWindow, WM_GETFONT, 0, 0));
}

// A device context with the list's font, for measuring.
class ListContext {
  public:
    explicit ListContext(HWND pList)
        : list_(pList), context_(GetDC(pList)), previous_(SelectObject(context_, fontOf(pList))) {}
    ~ListContext() {
        SelectObject(context_, previous_);
        ReleaseDC(list_, context_);
    }
    ListContext(const ListContext&) = delete;
    ListContext& operator=(const ListContext&) = delete;
    HDC get() const { return context_; }

  private:
    HWND list_;
    HDC context_;
    HGDIOBJ previous_;
};

int rowHeight(HDC pContext) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(pContext, &metrics);
    return metrics.tmHeight;
}

// A list draws its selection, focus and colours as the system's list does; a
// note is dimmed, except in the selected row, where it stays readable.
void drawRow(const DRAWITEMSTRUCT& pItem, const ListRows& pRows) {
    const HDC context = pItem.hDC;
    const bool framed = (pItem.itemState & ODS_NOFOCUSRECT) == 0;
    const bool focusShown = framed && (pItem.itemState & ODS_FOCUS) != 0;
    if (pItem.itemID >= pRows.size() || pItem.itemAction == ODA_FOCUS) {
        // An empty list shows its focus alone; a focus change toggles the frame.
        if (focusShown || (framed && pItem.itemAction == ODA_FOCUS)) {
            DrawFocusRect(context, &pItem.rcItem);
        }
        return;
    }
    const bool selected = (pItem.itemState & ODS_SELECTED) != 0;
    const bool disabled = (pItem.itemState & ODS_DISABLED) != 0;
    FillRect(context, &pItem.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const HGDIOBJ previous = SelectObject(context, fontOf(pItem.hwndItem));
    SetBkMode(context, TRANSPARENT);
    const RowText text = rowText(pRows, pItem.itemID);
    const int left = pItem.rcItem.left + kTextMargin;
    SetTextColor(context, GetSysColor(disabled   ? COLOR_GRAYTEXT
                                      : selected ? COLOR_HIGHLIGHTTEXT
                                                 : COLOR_WINDOWTEXT));
    TextOutW(context, left, pItem.rcItem.top, text.line.c_str(),
             static_cast<int>(text.line.size()));
    if (!text.note.empty()) {
        SetTextColor(context,
                     GetSysColor(selected && !disabled ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
        TextOutW(context, left + textWidth(context, text.line), pItem.rcItem.top, text.note.c_str(),
                 static_cast<int>(text.note.size()));
    }
    SelectObject(context, previous);
    if (focusShown) {
        DrawFocusRect(context, &pItem.rcItem);
    }
}

} // namespace

std::string_view ListRows::piece(std::size_t pPiece) const {
    const std::size_t begin = pPiece == 0 ? 0 : ends[pPiece - 1];
    return std::string_view(text).substr(begin, ends[pPiece] - begin);
}

// Keeps, besides the text, the kMeasuredRows rows of most width units: a row
// left out has no more units than the least of them.
void ListRows::assign(const std::vector<std::string>& pLines,
                      const std::vector<std::string>& pNotes) {
    const std::size_t count = pLines.size();
    const auto noteOf = [&](std::size_t pRow) -> std::string_view {
        return pRow < pNotes.size() ? std::string_view(pNotes[pRow]) : std::string_view();
    };
    std::size_t total = 0;
    for (std::size_t row = 0; row < count; ++row) {
        total += pLines[row].size() + noteOf(row).size();
    }
    text.clear();
    text.reserve(total);
    ends.clear();
    ends.reserve(2 * count);
    // A heap of (units, row) whose top is the narrowest row kept.
    std::vector<std::pair<std::size_t, std::size_t>> longest;
    longest.reserve(kMeasuredRows + 1);
    unmeasuredUnits = 0;
    for (std::size_t row = 0; row < count; ++row) {
        const std::string_view note = noteOf(row);
        text += pLines[row];
        ends.push_back(text.size());
        text += note;
        ends.push_back(text.size());
        const std::size_t units =
            widthUnits(pLines[row]) + (note.empty() ? 0 : kNoteGap.size() + widthUnits(note));
        longest.emplace_back(units, row);
        std::push_heap(longest.begin(), longest.end(), std::greater<>());
        if (longest.size() > kMeasuredRows) {
            std::pop_heap(longest.begin(), longest.end(), std::greater<>());
            unmeasuredUnits = std::max(unmeasuredUnits, longest.back().first);
            longest.pop_back();
        }
    }
    widest.clear();
    for (const auto& [units, row] : longest) {
        widest.push_back(row);
    }
}

// Only the rows that can be the widest are measured. A row left out has at
// most unmeasuredUnits units, so it is wider than the widest measured only if
// its letters are wider than those of kMeasuredRows rows at least as long; the
// width is kept at least unmeasuredUnits average letters, which covers such a
// row of ordinary letters.
void fitListRows(const Control::Impl& pList) {
    const ListContext context(pList.window);
    SendMessageW(pList.window, LB_SETITEMHEIGHT, 0, rowHeight(context.get()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(context.get(), &metrics);
    int widest = static_cast<int>(pList.rows.unmeasuredUnits) * metrics.tmAveCharWidth;
    for (const std::size_t row : pList.rows.widest) {
        const RowText text = rowText(pList.rows, row);
        widest = std::max(widest, textWidth(context.get(), text.line + text.note));
    }
    SendMessageW(pList.window, LB_SETHORIZONTALEXTENT,
                 static_cast<WPARAM>(widest + 2 * kTextMargin), 0);
}

bool selectRowStartingWith(Control::Impl& pList, WPARAM pCharacter) {
    if (pCharacter < L' ') {
        return false;
    }
    const auto upper = [](wchar_t pLetter) {
        CharUpperBuffW(&pLetter, 1);
        return pLetter;
    };
    const wchar_t wanted = upper(static_cast<wchar_t>(pCharacter));
    const std::size_t count = pList.rows.size();
    const LRESULT selected = SendMessageW(pList.window, LB_GETCURSEL, 0, 0);
    const std::size_t from = selected < 0 ? 0 : static_cast<std::size_t>(selected) + 1;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t row = (from + step) % count;
        // The first code point, from at most its four bytes.
        const std::string_view line = pList.rows.line(row).substr(0, 4);
        std::array<wchar_t, 4> first{};
        if (MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                first.data(), static_cast<int>(first.size())) > 0 &&
            upper(first[0]) == wanted) {
            SendMessageW(pList.window, LB_SETCURSEL, row, 0);
            fire(*pList.onClick);
            return true;
        }
    }
    return true;
}

bool listRowMessage(UINT pMessage, LPARAM pLParam, UINT pDotsPerInch) {
    if (pMessage == WM_MEASUREITEM) {
        // Sent while the list is made, before it is known; fitListRows() sets
        // the height again for the font the list gets.
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(pLParam);
        const HDC context = GetDC(nullptr);
        const HGDIOBJ previous = SelectObject(context, dialogFont(pDotsPerInch));
        item.itemHeight = static_cast<UINT>(rowHeight(context));
        SelectObject(context, previous);
        ReleaseDC(nullptr, context);
        return true;
    }
    if (pMessage != WM_DRAWITEM) {
        return false;
    }
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(pLParam);
    const Control::Impl* list = item.CtlType == ODT_LISTBOX ? controlOf(item.hwndItem) : nullptr;
    if (list != nullptr && list->kind == Kind::ListBox) {
        drawRow(item, list->rows);
    }
    return true;
}

ListBox::ListBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(std::make_unique<Impl>(Kind::ListBox, pParent, L"LISTBOX",
                                     LBS_NOTIFY | LBS_NODATA | LBS_OWNERDRAWFIXED |
                                         LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL |
                                         WS_TABSTOP,
                                     WS_EX_CLIENTEDGE, "", pLeft, pTop, pWidth, pHeight)) {
    impl().onClick = &onClick;
    impl().onDblClick = &onDblClick;
    impl().onKeyPress = &onKeyPress;
    impl().rowToolTip = &rowToolTip;
}

int ListBox::listCount() const {
    return static_cast<int>(SendMessageW(impl().window, LB_GETCOUNT, 0, 0));
}

std::string ListBox::list(int pIndex) const {
    const ListRows& rows = impl().rows;
    return pIndex >= 0 && static_cast<std::size_t>(pIndex) < rows.size()
               ? std::string(rows.line(static_cast<std::size_t>(pIndex)))
               : std::string();
}

void ListBox::setItems(const std::vector<std::string>& pLines) {
    setItems(pLines, {});
}

// Drawn once, after the count is set; rows wider than the list can be scrolled
// to. A list the system cannot size stays empty.
void ListBox::setItems(const std::vector<std::string>& pLines,
                       const std::vector<std::string>& pNotes) {
    Impl& list = impl();
    list.hoveredRow = -2;
    list.rows.assign(pLines, pNotes);
    SendMessageW(list.window, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list.window, LB_RESETCONTENT, 0, 0);
    if (SendMessageW(list.window, LB_SETCOUNT, pLines.size(), 0) < 0) {
        list.rows.assign({}, {});
    }
    fitListRows(list);
    SendMessageW(list.window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.window, nullptr, TRUE);
}

// The list's width fits its longest rows, so every row is made at once here.
void ListBox::setRows(std::size_t pCount, RowText pLine, RowText pNote) {
    std::vector<std::string> lines;
    std::vector<std::string> notes;
    lines.reserve(pCount);
    notes.reserve(pNote ? pCount : 0);
    for (std::size_t row = 0; row < pCount; ++row) {
        lines.push_back(pLine(row));
        if (pNote) {
            notes.push_back(pNote(row));
        }
    }
    setItems(lines, notes);
}

int ListBox::listIndex() const {
    const LRESULT index = SendMessageW(impl().window, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

// The list control tells only of selections made by the user.
void ListBox::setListIndex(int pIndex) {
    SendMessageW(impl().window, LB_SETCURSEL, static_cast<WPARAM>(pIndex), 0);
    fire(onClick);
}

} // namespace zaptrove::platform::forms
