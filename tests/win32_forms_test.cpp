// SPDX-License-Identifier: MIT
#include "app/icon.h"
#include "forms/forms_simulate.h"

#include "forms/twips_memory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

// What the Win32 forms do themselves that a dialog box of the system would:
// the keyboard between controls, the icon and the clipboard.
using namespace zaptrove::platform;

namespace {

HWND windowOf(const forms::Form& form) {
    return reinterpret_cast<HWND>(form.nativeHandle());
}

// The height of the font a control writes its text in, in pixels.
int fontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return std::abs(font.lfHeight);
}

class Win32Form : public testing::Test {
  protected:
    forms::Form form{"Keys", 4000, 2000};
    forms::Frame frame{form, 0, 0, 4000, 1000, "&Group"};
    forms::TextBox first{frame, 100, 300, 1500, 300};
    forms::OptionButton optionA{frame, 1700, 300, 1000, 300, "A"};
    forms::OptionButton optionB{frame, 2700, 300, 1000, 300, "B"};
    forms::TextBox second{form, 100, 1100, 1500, 300};
    forms::CheckBox check{form, 1700, 1100, 1000, 300, "&Use"};
    forms::OptionButton optionC{form, 2700, 1100, 1000, 300, "C"};
    forms::CommandButton open{form, 100, 1500, 1000, 400, "&Open"};
    forms::CommandButton cancel{form, 1200, 1500, 1000, 400, "Cancel"};
    int opened = 0;
    int cancelled = 0;

    Win32Form() {
        form.setCancelButton(cancel);
        form.setTabOrder({&second, &first, &open});
        open.onClick = [this] { ++opened; };
        cancel.onClick = [this] { ++cancelled; };
        form.show();
        forms::doEvents();
    }
};

} // namespace

TEST_F(Win32Form, TabFollowsTheTabOrderPastControlsItDoesNotReach) {
    second.setFocus();
    optionA.setVisible(false);
    check.setTabStop(false);
    // second, first, open were ordered; the rest follow in the order made.
    std::vector<const forms::Control*> reached;
    const std::vector<const forms::Control*> all = {&first, &optionA, &optionB, &second,
                                                    &check, &optionC, &open,    &cancel};
    for (int i = 0; i < 6; ++i) {
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        for (const forms::Control* control : all)
            if (forms::hasFocus(*control))
                reached.push_back(control);
    }
    EXPECT_EQ(reached, (std::vector<const forms::Control*>{&first, &open, &optionC, &cancel,
                                                           &optionB, &second}));
}

TEST_F(Win32Form, KeysActAsInADialog) {
    first.setFocus();
    SendMessageW(GetFocus(), WM_SYSCHAR, 'o', 1 << 29); // Alt+O: the underlined letter
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(forms::hasFocus(open));
    SendMessageW(GetFocus(), WM_SYSCHAR, 'U', 1 << 29);
    EXPECT_TRUE(check.value());
    SendMessageW(GetFocus(), WM_SYSCHAR, 'x', 1 << 29); // underlined nowhere
    EXPECT_TRUE(check.value());
    open.setFocus();
    forms::simulateKey(open, forms::KEY_RETURN); // Enter clicks the focused button
    EXPECT_EQ(opened, 2);
    forms::simulateKey(optionB, forms::KEY_ESCAPE); // Escape anywhere clicks Cancel
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(opened, 2);
}

TEST_F(Win32Form, KeyPressHandlersSwallowOrChangeTheTypedCharacter) {
    int changes = 0;
    first.onChange = [&] { ++changes; };
    first.onKeyPress = [](std::int16_t& key) { key = key == 'x' ? 0 : key == 'a' ? 'b' : key; };
    forms::simulateTyping(first, "xaü");
    EXPECT_EQ(first.text(), "bü");
    EXPECT_EQ(changes, 2);
    first.setText("set");
    EXPECT_EQ(changes, 2);
}

TEST_F(Win32Form, OptionButtonsFormAGroupPerParent) {
    forms::simulateClick(optionA);
    optionC.setValue(true);
    forms::simulateClick(optionB);
    EXPECT_EQ((std::vector<bool>{optionA.value(), optionB.value(), optionC.value()}),
              (std::vector<bool>{false, true, true}));
    optionC.setValue(false);
    EXPECT_TRUE(optionB.value());
    EXPECT_EQ(frame.caption(), "&Group");
}

TEST_F(Win32Form, TheIconIsMadeFromPngBytesAndShared) {
    const std::string_view png = zaptrove::zaptroveIconPng();
    form.setIcon(png);
    forms::Form dialog("Other", 1000, 1000, forms::FormStyle::Dialog);
    dialog.setIconFrom(form);
    for (const forms::Form* shown : {&form, &dialog}) {
        for (const WPARAM size : {ICON_BIG, ICON_SMALL})
            EXPECT_NE(SendMessageW(windowOf(*shown), WM_GETICON, size, 0), 0) << size;
    }
    form.setIcon("not a PNG"); // no icon, and no crash
    EXPECT_EQ(SendMessageW(windowOf(form), WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(Win32Form, AScreenOfAnotherScaleKeepsTheTwipsAndScalesTheFont) {
    open.setFocus();
    const HWND button = GetFocus();
    const int height = fontHeight(button);
    RECT outer{};
    GetWindowRect(windowOf(form), &outer);
    RECT doubled{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
                 outer.top + 2 * (outer.bottom - outer.top)};
    const UINT dotsPerInch = 2 * 1440 / static_cast<UINT>(forms::twipsPerPixelX());
    SendMessageW(windowOf(form), WM_DPICHANGED, MAKEWPARAM(dotsPerInch, dotsPerInch),
                 reinterpret_cast<LPARAM>(&doubled));
    EXPECT_EQ((std::vector<float>{open.left(), open.top(), open.width(), open.height()}),
              (std::vector<float>{100, 1500, 1000, 400}));
    RECT client{};
    GetClientRect(button, &client);
    EXPECT_EQ(client.right, forms::toPixels(1000, forms::twipsPerPixelX() / 2));
    EXPECT_EQ(fontHeight(button), 2 * height);
    EXPECT_EQ(form.width(), static_cast<float>(outer.right - outer.left) * forms::twipsPerPixelX());
}

TEST_F(Win32Form, RowsWiderThanTheListScrollSideways) {
    forms::ListBox list(form, 100, 100, 1000, 1000);
    list.setFocus();
    const HWND window = GetFocus();
    RECT client{};
    GetClientRect(window, &client);
    list.setItems({"short", std::string(200, 'w')});
    EXPECT_GT(SendMessageW(window, LB_GETHORIZONTALEXTENT, 0, 0), client.right);
    list.setItems({"short"});
    EXPECT_LT(SendMessageW(window, LB_GETHORIZONTALEXTENT, 0, 0), client.right);
    std::vector<std::string> lines(100000, std::string(20, 'i'));
    lines[70000] = std::string(200, 'w');
    list.setItems(lines);
    EXPECT_GT(SendMessageW(window, LB_GETHORIZONTALEXTENT, 0, 0), client.right);
}

// The rows live in the program and are drawn by it: the list gives back each
// line whole, without its note, at any depth.
TEST_F(Win32Form, ListRowsAreTheirLinesWithoutNotes) {
    std::vector<std::string> lines(100000);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = "row " + std::to_string(i);
    }
    lines[50000] = "Z\xC3\xBCrich \xE2\x9C\x93 \xE6\x97\xA5";
    std::vector<std::string> notes(50001);
    notes[50000] = "Folder / Browser";
    forms::ListBox list(form, 100, 100, 1000, 1000);
    list.setItems(lines, notes);
    EXPECT_EQ(list.listCount(), 100000);
    const std::vector<std::pair<int, std::string>> rows{
        {0, "row 0"}, {99999, "row 99999"}, {50000, lines[50000]}, {50001, "row 50001"},
        {-1, ""},     {100000, ""}};
    for (const auto& [row, line] : rows) {
        EXPECT_EQ(list.list(row), line) << row;
    }
    list.setItems({});
    EXPECT_EQ((std::vector<int>{list.listCount(), list.listIndex()}), (std::vector<int>{0, -1}));
}

// A typed letter selects the next row starting with it, whatever its case,
// from the selected row on and round to the top.
TEST_F(Win32Form, ATypedLetterSelectsTheNextRowStartingWithIt) {
    forms::ListBox list(form, 100, 100, 1000, 1000);
    list.setItems({"apple", "Banana", "avocado",
                   "\xC3\x9C"
                   "ber"});
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    const std::vector<std::pair<std::string, int>> typed{{"A", 0}, {"a", 2},        {"a", 0},
                                                         {"b", 1}, {"\xC3\xBC", 3}, {"z", 3}};
    for (const auto& [letter, row] : typed) {
        forms::simulateTyping(list, letter);
        EXPECT_EQ(list.listIndex(), row) << letter;
    }
    EXPECT_EQ(clicks, 5);
}

// A selected row is drawn highlighted; a note is dimmed in a row that is not.
TEST_F(Win32Form, ListRowsDrawSelectionAndDimmedNotes) {
    forms::ListBox list(form, 100, 100, 3000, 800);
    list.setItems({"selected", "noted"}, {"", std::string(20, 'W')});
    list.setListIndex(0);
    const HWND window = FindWindowExW(windowOf(form), nullptr, L"ListBox", nullptr);
    RECT client{};
    GetClientRect(window, &client);
    const HDC screen = GetDC(window);
    const HDC context = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(context, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(context), PRF_CLIENT);
    RECT noted{};
    SendMessageW(window, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&noted));
    int dimmed = 0;
    for (int x = noted.left; x < noted.right; ++x) {
        for (int y = noted.top; y < noted.bottom; ++y) {
            dimmed += GetPixel(context, x, y) == GetSysColor(COLOR_GRAYTEXT) ? 1 : 0;
        }
    }
    EXPECT_EQ(GetPixel(context, client.right - 1, 0), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(dimmed, 0);
    SelectObject(context, previous);
    DeleteObject(bitmap);
    DeleteDC(context);
    ReleaseDC(window, screen);
}

TEST_F(Win32Form, TheClipboardHoldsUnicodeText) {
    forms::clipboardSetText("Zürich \xE2\x9C\x93 \xE6\x97\xA5");
    EXPECT_EQ(forms::clipboardText(), "Zürich \xE2\x9C\x93 \xE6\x97\xA5");
    forms::clipboardClear();
    EXPECT_EQ(forms::clipboardText(), "");
}

// Captions share one font, shrunk from the dialog font in steps down to 6
// points until each fits; a control that others hide counts for nothing.
TEST_F(Win32Form, CaptionsShrinkTogetherToFitAndOtherControlsKeepTheDialogFont) {
    const auto fontOf = [this](const wchar_t* pClass, const wchar_t* pCaption) {
        return fontHeight(FindWindowExW(windowOf(form), nullptr, pClass, pCaption));
    };
    const int dialogHeight = fontOf(L"Button", L"Cancel");
    forms::CommandButton narrow(form, 2300, 1500, 300, 400, "Far too wide");
    form.hide();
    form.show();
    const int smallest = MulDiv(6, static_cast<int>(1440 / forms::twipsPerPixelX()), 72);
    EXPECT_EQ(forms::cutCaptions(form), std::vector<std::string>{"Far too wide"});
    EXPECT_EQ((std::vector<int>{fontOf(L"Button", L"Cancel"), fontOf(L"Button", L"&Use"),
                                fontOf(L"Edit", nullptr)}),
              (std::vector<int>{smallest, smallest, dialogHeight}));

    forms::TextBox cover(form, 2300, 1500, 300, 400);
    form.hide();
    form.show();
    EXPECT_EQ(forms::cutCaptions(form), std::vector<std::string>{});
    EXPECT_EQ(fontOf(L"Button", L"Cancel"), dialogHeight);
}

// A restarted shell starts with an empty notification area and announces
// itself to every window: a shown icon is added again, a removed one is not.
TEST_F(Win32Form, TheIconIsAddedAgainWhenTheShellRestarts) {
    if (!forms::TrayIcon::isAvailable())
        GTEST_SKIP() << "no notification area";
    const auto inShell = [this](DWORD pMessage = NIM_MODIFY) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = windowOf(form);
        data.uID = 1;
        return Shell_NotifyIconW(pMessage, &data) != FALSE;
    };
    const auto restartShell = [&] {
        inShell(NIM_DELETE);
        PostMessageW(windowOf(form), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        forms::doEvents();
    };
    forms::TrayIcon icon(form);
    icon.add("Keys");
    restartShell();
    EXPECT_TRUE(inShell());
    icon.remove();
    restartShell();
    EXPECT_FALSE(inShell());
}
