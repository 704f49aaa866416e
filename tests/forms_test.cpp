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
    EXPECT_EQ(frame.caption(), "");
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

TEST_F(Forms, SelectingARowClicksOnceAndReplacingTheRowsClicksNot) {
    EXPECT_EQ(list.listIndex(), -1);
    list.setListIndex(1);
    list.setListIndex(1);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(listClicks, 2);
    forms::simulateDoubleClick(list, 2);
    EXPECT_EQ(list.listIndex(), 2);
    EXPECT_EQ(listClicks, 3);
    EXPECT_EQ(doubleClicks, 1);

    list.setItems({"one", "two"});
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.listCount(), 2);
    EXPECT_EQ(list.list(1), "two");
    EXPECT_EQ(listClicks, 3);
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

// A dialog laid out like the program's Preferences: option buttons in a
// captioned frame, and controls straight on the form. It counts its showings.
struct Dialog : testing::Test {
    forms::Form form{"Dialog test", 4000, 3000, forms::FormStyle::Dialog};
    forms::Frame sort{form, 0, 0, 2000, 1000, "Sort..."};
    forms::OptionButton byName{sort, 90, 225, 1320, 195, "...by Name"};
    forms::OptionButton byUrl{sort, 90, 450, 1320, 195, "...by URL"};
    forms::OptionButton alone{form, 2100, 225, 1320, 195, "Alone"};
    forms::CheckBox use{form, 2100, 600, 600, 195, "Use"};
    forms::Label label{form, 90, 1200, 960, 240, "MSIE Main"};
    forms::TextBox path{form, 1100, 1200, 2000, 285};
    forms::CommandButton cancel{form, 2100, 2500, 690, 345, "Cancel"};
    int activations = 0;

    Dialog() {
        form.setCancelButton(cancel);
        cancel.onClick = [this] { form.unload(); };
        form.onActivate = [this] { ++activations; };
    }
};

// Option buttons in a frame are another group than those on the form around it.
TEST_F(Dialog, OptionButtonsOfAParentExcludeEachOtherAndCanAllBeCleared) {
    byName.setValue(true);
    alone.setValue(true);
    byUrl.setValue(true);
    EXPECT_TRUE(!byName.value() && byUrl.value() && alone.value());
    forms::simulateClick(byName);
    forms::simulateClick(byName); // a click never clears
    EXPECT_TRUE(byName.value() && !byUrl.value());
    byName.setValue(false);
    EXPECT_TRUE(!byName.value() && !byUrl.value() && alone.value());
    EXPECT_EQ(sort.caption() + byName.caption(), "Sort......by Name");
}

TEST_F(Dialog, CheckBoxesToggleOnClicksAndReadOnlyBoxesIgnoreTyping) {
    use.setValue(true);
    forms::simulateClick(use);
    EXPECT_FALSE(use.value());
    EXPECT_EQ(use.caption() + label.caption(), "UseMSIE Main");
    path.setReadOnly(true);
    forms::simulateTyping(path, "x");
    EXPECT_TRUE(path.readOnly());
    path.setReadOnly(false);
    forms::simulateTyping(path, "y");
    EXPECT_EQ(path.text(), "y");
}

// Escape clicks Cancel, which unloads the form; the close box does too.
TEST_F(Dialog, ShowModalReturnsOnceTheFormIsClosedAndEachShowingActivatesOnce) {
    bool upAndActivated = false;
    forms::whenIdle([&] {
        upAndActivated = form.isShown() && activations == 1;
        forms::simulateKey(path, forms::KEY_ESCAPE);
    });
    form.showModal();
    EXPECT_TRUE(upAndActivated);
    EXPECT_FALSE(form.isShown());

    forms::whenIdle([this] { forms::simulateClose(form); });
    form.showModal();
    form.show();
    form.show();
    EXPECT_EQ(activations, 3);
}

TEST(TrayIcon, ClicksReachTheOwnerAsMouseMovesWithTheMessageInX) {
    forms::Form owner{"Tray test", 4425, 315};
    forms::TrayIcon tray{owner};
    std::vector<float> xs;
    owner.onMouseMove = [&xs](int button, int shift, float x, float y) {
        EXPECT_EQ(button + shift + y, 0.0f);
        xs.push_back(x);
    };
    tray.add("Zaptrove");
    using enum forms::TrayClick;
    for (const forms::TrayClick click : {Left, Double, Right, Middle}) {
        forms::simulateTrayActivation(tray, click);
    }
    EXPECT_TRUE(tray.isShown());
    tray.remove();
    EXPECT_FALSE(tray.isShown());
    forms::simulateTrayActivation(tray, Left); // no icon to click
    // 514, 515, 517 and 520 pixels at 15 twips each
    EXPECT_EQ(xs, (std::vector<float>{7710, 7725, 7755, 7800}));
}

} // namespace
