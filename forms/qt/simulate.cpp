// SPDX-License-Identifier: MIT
#include "forms/forms_simulate.h"
#include "forms/qt/forms_impl.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListView>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocumentFragment>
#include <QThread>
#include <QToolTip>
#include <QWindow>

// Input for tests, sent as events to the widgets so that it takes the path
// typed keys and clicks take: event filters first, then the widget itself.
namespace zaptrove::platform::forms {

namespace {

// The key a keyboard reports with a character: Enter and Escape have their
// own, a letter that of its capital.
int keyFor(char16_t pCharacter) {
    switch (pCharacter) {
    case KEY_RETURN:
        return Qt::Key_Return;
    case KEY_ESCAPE:
        return Qt::Key_Escape;
    default:
        return QChar(pCharacter).toUpper().unicode();
    }
}

void sendCharacter(QWidget& pTarget, char16_t pCharacter) {
    const QString text(QChar{pCharacter});
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, keyFor(pCharacter), Qt::NoModifier, text);
        QCoreApplication::sendEvent(&pTarget, &event);
    }
}

void sendMouse(QWidget& pTarget, QEvent::Type pType, QPoint pAt,
               Qt::KeyboardModifiers pModifiers = Qt::NoModifier) {
    const Qt::MouseButtons held =
        pType == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(pType, pAt, pTarget.mapToGlobal(pAt), Qt::LeftButton, held, pModifiers);
    QCoreApplication::sendEvent(&pTarget, &event);
}

void sendClick(QWidget& pTarget, QPoint pAt, Qt::KeyboardModifiers pModifiers = Qt::NoModifier) {
    sendMouse(pTarget, QEvent::MouseButtonPress, pAt, pModifiers);
    sendMouse(pTarget, QEvent::MouseButtonRelease, pAt, pModifiers);
}

} // namespace

std::string clipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

bool hasFocus(const Control& pControl) {
    return pControl.impl().widget->hasFocus();
}

// What the style draws the focus ring by.
bool showsFocusRing(const Control& pControl) {
    QStyleOption option;
    option.initFrom(pControl.impl().widget);
    return option.state.testFlag(QStyle::State_HasFocus) &&
           option.state.testFlag(QStyle::State_KeyboardFocusChange);
}

void simulateTyping(Control& pControl, std::string_view pText) {
    for (const QChar character : toQString(pText)) {
        sendCharacter(*pControl.impl().widget, character.unicode());
    }
}

void simulateKey(Control& pControl, std::int16_t pKeyAscii) {
    sendCharacter(*pControl.impl().widget, static_cast<char16_t>(pKeyAscii));
}

void simulateKeyDown(Control& pControl, std::int16_t pKeyCode) {
    const int key = pKeyCode == KEY_DOWN ? static_cast<int>(Qt::Key_Down) : pKeyCode;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QCoreApplication::sendEvent(pControl.impl().widget, &event);
    }
}

void simulateKeyCombination(Control& pControl, std::string_view pCombination) {
    const QKeyCombination combination =
        QKeySequence::fromString(toQString(pCombination), QKeySequence::PortableText)[0];
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, combination.key(), combination.keyboardModifiers());
        QCoreApplication::sendEvent(pControl.impl().widget, &event);
    }
}

// A double click is a click followed by a press that the system reports as
// double, and its release.
// Shift held is pressed first and released last, as a user does. Like the
// system's, each Shift event carries the modifiers from before it.
void simulateDoubleClick(ListBox& pList, int pRow, bool pShift) {
    auto& list = static_cast<QListView&>(*pList.impl().widget);
    QWidget& rows = *list.viewport();
    const QPoint at = list.visualRect(list.model()->index(pRow, 0)).center();
    const Qt::KeyboardModifiers modifiers = pShift ? Qt::ShiftModifier : Qt::NoModifier;
    if (pShift) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
        QCoreApplication::sendEvent(&list, &press);
    }
    sendClick(rows, at, modifiers);
    sendMouse(rows, QEvent::MouseButtonDblClick, at, modifiers);
    sendMouse(rows, QEvent::MouseButtonRelease, at, modifiers);
    if (pShift) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&list, &release);
    }
}

std::string simulateHover(ListBox& pList, int pRow) {
    auto& list = static_cast<QListView&>(*pList.impl().widget);
    QWidget& rows = *list.viewport();
    const QPoint at = pRow >= 0 ? list.visualRect(list.model()->index(pRow, 0)).center()
                                : QPoint(2, rows.height() - 2);
    QToolTip::hideText(); // after a pause: what shows next is this hover's
    for (int wait = 0; wait < 100 && QToolTip::isVisible(); ++wait) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    QHelpEvent event(QEvent::ToolTip, at, rows.mapToGlobal(at));
    QCoreApplication::sendEvent(&rows, &event);
    if (!QToolTip::isVisible()) {
        return {};
    }
    return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText().toStdString();
}

void simulateClick(CommandButton& pButton) {
    QWidget& button = *pButton.impl().widget;
    sendClick(button, button.rect().center());
}

void simulateClick(Checkable& pControl) {
    QWidget& button = *pControl.impl().widget;
    QStyleOptionButton option;
    option.initFrom(&button);
    const QStyle::SubElement indicator = qobject_cast<QRadioButton*>(&button) != nullptr
                                             ? QStyle::SE_RadioButtonIndicator
                                             : QStyle::SE_CheckBoxIndicator;
    sendClick(button, button.style()->subElementRect(indicator, &option, &button).center());
}

// The icon reports the click as the desktop would, so it takes the path of
// real activations.
void simulateTrayActivation(TrayIcon& pIcon, TrayClick pClick) {
    if (!pIcon.isShown()) {
        return;
    }
    const QSystemTrayIcon::ActivationReason reason =
        pClick == TrayClick::Left     ? QSystemTrayIcon::Trigger
        : pClick == TrayClick::Double ? QSystemTrayIcon::DoubleClick
        : pClick == TrayClick::Right  ? QSystemTrayIcon::Context
                                      : QSystemTrayIcon::MiddleClick;
    Q_EMIT pIcon.impl().icon.activated(reason);
}

bool simulateTrayMenuChoice(TrayIcon& pIcon, std::string_view pCaption) {
    const QMenu* menu = pIcon.impl().icon.contextMenu();
    if (menu == nullptr) {
        return false;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == toQString(pCaption)) {
            action->trigger();
            return true;
        }
    }
    return false;
}

std::vector<std::string> crowdedFrames(const Form& pForm) {
    std::vector<std::string> crowded;
    for (const FrameWidget* frame : pForm.impl().widget.findChildren<FrameWidget*>()) {
        const QRect caption = frame->captionArea();
        const QRect inside = frame->rect().adjusted(1, frame->borderTop() + 1, -1, -1);
        for (const QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect area = control->geometry();
            if (!control->isHidden() && (area.intersects(caption) || !inside.contains(area))) {
                crowded.push_back(frame->title().toStdString());
                break;
            }
        }
    }
    return crowded;
}

// The close box asks the window system to close the window, which sends the
// form its close event and hides it once accepted.
void simulateClose(Form& pForm) {
    QWidget& widget = pForm.impl().widget;
    if (QWindow* window = widget.windowHandle()) {
        window->close();
    } else {
        widget.close();
    }
}

} // namespace zaptrove::platform::forms
