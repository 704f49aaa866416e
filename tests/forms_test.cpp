#include "platform/forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace forms = zaptrove::platform::forms;

namespace {

// A window laid out like the program's: an input box, a list and Cancel in a
// frame that starts above the client area. It counts the events it gets.
struct Forms : testing::Test {
    forms::Form form{"Forms test", 4425, 3000};
    forms::Frame frame{form, 0, -45, 4000, 2800};
    forms::CommandButton cancel{frame, 2070, 135, 465, 240, "&Cancel"};
    forms::TextBox input{frame, 45, 135, 1965, 285};
    forms::ListBox list{frame, 0, 600, 2000, 1500};
    int cancelClicks = 0, listClicks = 0, doubleClicks = 0, resizes = 0, unloads = 0;
    std::vector<std::int16_t> keys;

    Forms() {
        form.setCancelButton(cancel);
        cancel.onClick = [this] { ++cancelClicks; };
        list.onClick = [this] { ++listClicks; };
        list.onDblClick = [this] { ++doubleClicks; };
        form.onResize = [this] { ++resizes; };
        form.onUnload = [this] { ++unloads; };
        for (const char* row : {"alpha", "beta", "gamma"}) {
            list.addItem(row);
        }
        form.show();
        forms::doEvents();
        resizes = 0;
    }
    // Records each key, swallowing those in pSwallowed.
    forms::KeyPressHandler recordKeys(std::string pSwallowed = "") {
        return [this, pSwallowed](std::int16_t& key) {
            keys.push_back(key);
            key = pSwallowed.find(static_cast<char>(key)) == std::string::npos ? key : 0;
        };
    }
};

TEST_F(Forms, SizesReadBackAsSetUntilTheWindowChangesThem) {
    EXPECT_EQ(forms::twipsPerPixelX(), 15.0f);
    EXPECT_EQ(frame.top(), -45.0f);
    input.setHeight(891); // 59.4 pixels
    EXPECT_EQ(input.height(), 891.0f);
    form.setHeight(991);
    form.setLeft(1210);
    EXPECT_EQ(form.height(), 991.0f);
    EXPECT_EQ(form.left(), 1210.0f);

    form.setWindowState(forms::WINDOW_MAXIMIZED);
    forms::doEvents();
    EXPECT_NE(form.height(), 991.0f);
    EXPECT_EQ(std::fmod(form.height(), 15.0f), 0.0f);
}

// A window's borders are known only once it is shown; a size set before must
// still read back as set, or a window that saves its size would grow each run.
TEST(Form, KeepsItsSizeAcrossTheFirstShowAndShowsControlsAddedLater) {
    forms::Form fresh{"Fresh", 4425, 315};
    fresh.setWidth(4500);
    fresh.show();
    forms::doEvents();
    EXPECT_EQ(fresh.width(), 4500.0f);
    const forms::Frame added{fresh, 0, 0, 4425, 315};
    EXPECT_TRUE(added.visible());
}

TEST_F(Forms, ResizeIsRaisedForANewSizeAndForANewWindowState) {
    form.setHeight(991);
    form.setHeight(991);
    EXPECT_EQ(resizes, 1);
    form.setWindowState(forms::WINDOW_MINIMIZED);
    EXPECT_EQ(form.windowState(), forms::WINDOW_MINIMIZED);
    EXPECT_GE(resizes, 2);
    form.setWindowState(forms::WINDOW_NORMAL);
    EXPECT_EQ(form.windowState(), forms::WINDOW_NORMAL);
}

TEST_F(Forms, EscapeClicksCancelWhereverTheFocusIs) {
    input.onKeyPress = recordKeys();
    list.onKeyPress = recordKeys();
    forms::simulateKey(input, forms::KEY_ESCAPE);
    forms::simulateKey(list, forms::KEY_ESCAPE);
    EXPECT_EQ(cancelClicks, 2);
    EXPECT_TRUE(keys.empty());
    forms::simulateClick(cancel);
    EXPECT_EQ(cancelClicks, 3);
    EXPECT_EQ(cancel.caption(), "&Cancel");
}

TEST_F(Forms, KeyPressesCarryTheCharacterCodeAndZeroSwallowsTheKey) {
    input.onKeyPress = recordKeys("+");
    list.onKeyPress = recordKeys();
    forms::simulateTyping(input, "a+b");
    forms::simulateKey(input, forms::KEY_RETURN);
    forms::simulateKey(list, '-');
    EXPECT_EQ(keys, (std::vector<std::int16_t>{'a', 43, 'b', 13, 45}));
    EXPECT_EQ(input.text(), "ab");
}

TEST_F(Forms, TextSelectionRunsToTheEndAtMost) {
    input.setText("Nothing Found");
    input.setSelStart(8);
    input.setSelLength(9999);
    EXPECT_EQ(input.selectedText(), "Found");
}

TEST_F(Forms, SelectingARowClicksOnceAndRemovingItClicksNot) {
    EXPECT_EQ(list.listIndex(), -1);
    list.setListIndex(1);
    list.setListIndex(1);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(listClicks, 2);
    forms::simulateDoubleClick(list, 2);
    EXPECT_EQ(list.listIndex(), 2);
    EXPECT_EQ(listClicks, 3);
    EXPECT_EQ(doubleClicks, 1);

    list.removeItem(2);
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.list(1), "beta");
    EXPECT_EQ(listClicks, 3);
}

TEST(Clipboard, HoldsUtf8TextAndCanBeCleared) {
    forms::clipboardSetText("Zürich – 東京");
    EXPECT_EQ(forms::clipboardText(), "Zürich – 東京");
    forms::clipboardClear();
    EXPECT_EQ(forms::clipboardText(), "");
}

TEST_F(Forms, UnloadRaisesUnloadOnceAndLetsItsExceptionsThrough) {
    form.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(form.isShown());
    form.show();
    forms::simulateClose(form);
    EXPECT_EQ(unloads, 2);
    EXPECT_FALSE(form.isShown());

    form.show();
    form.onUnload = [] { throw std::runtime_error("ended"); };
    EXPECT_THROW(form.unload(), std::runtime_error);
    EXPECT_TRUE(form.isShown());
}

} // namespace
