// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"
#include "forms/twips_memory.h"

#include <QEventLoop>
#include <QGroupBox>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>

class QListView;

// The Qt side of forms.h, shared by its implementation files.
namespace zaptrove::platform::forms {

inline QString toQString(std::string_view pText) {
    return QString::fromUtf8(pText.data(), static_cast<qsizetype>(pText.size()));
}

// Runs an event handler, when one is set.
inline void fire(const EventHandler& pHandler) {
    if (pHandler) {
        pHandler();
    }
}

int sideOf(const QRect& pRect, Side pSide);
// Moves the left or top edge, keeping the size; sets the width or height.
void setSideOf(QRect& pRect, Side pSide, int pPixels);

// The form's top-level window; it raises the form's events.
class FormWidget final : public QWidget {
  public:
    FormWidget(Form& pForm, FormStyle pStyle);

  protected:
    void showEvent(QShowEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

  private:
    void showFocusRing();
    Form& form_;
};

struct Form::Impl {
    Impl(Form& pForm, FormStyle pStyle) : widget(pForm, pStyle) {}
    // Escape: clicks the cancel button; false when the form has none.
    bool pressCancel() const;
    // Enter: clicks the default button; false when the form has none.
    bool pressDefault() const;

    FormWidget widget;
    QPointer<QPushButton> cancelButton;
    QPointer<QPushButton> defaultButton;
    // Set while unload() closes the window, whose onUnload has already run.
    bool unloading = false;
    // The loop of showModal(), while it runs; hiding the form ends it.
    QPointer<QEventLoop> modalLoop;
    TwipsMemory memory;
};

// Watches its widget's keys: Escape goes to the form's cancel button, typed
// characters to the control's key-press handler.
struct Control::Impl final : QObject {
    Impl(QWidget* pWidget, Form::Impl& pForm, float pLeft, float pTop, float pWidth, float pHeight);
    // Deletes the widget, unless deleting its form already did.
    ~Impl() override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    // Enter on the control: false when the control takes it itself.
    bool pressEnter() const;

    QPointer<QWidget> widget;
    Form::Impl& form;
    // Points to the control's onKeyPress, for controls that have one.
    KeyPressHandler* onKeyPress = nullptr;
    // Points to the control's onKeyDown, for controls that have one.
    KeyDownHandler* onKeyDown = nullptr;
    TwipsMemory memory;
};

// Makes the style draw the marks of option and check boxes no higher than
// their controls.
void fitMarksToControls();
// A list's tooltip over each row from pText (list_rows.cpp), and its rows'
// notes drawn dimmed after their text.
void showRowToolTips(QListView& pList, std::function<std::optional<std::string>(int)> pText);
void showRowNotes(QListView& pList);

// Gives the captions of the form's controls the largest font size, at most the
// desktop's, with which each fits its control.
void fitCaptions(QWidget& pForm);

// A frame with a caption, drawn as a box whose top line runs through the
// middle of the caption, which interrupts it near the left: the caption stays
// inside the frame's area and the border keeps clear of the controls placed a
// caption's height below its top.
class FrameWidget final : public QGroupBox {
  public:
    FrameWidget(const QString& pCaption, QWidget* pParent) : QGroupBox(pCaption, pParent) {}
    // Where the caption is drawn, in the frame's coordinates.
    QRect captionArea() const;
    // The top line's height in the frame.
    int borderTop() const;

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
};

// The Qt widget of a control, as the kind of widget it was made with.
template <typename Widget> Widget& widgetOf(const Control& pControl) {
    return static_cast<Widget&>(*pControl.impl().widget);
}

// Turns the icon's activations into mouse moves of its owner.
struct TrayIcon::Impl {
    Impl(TrayIcon& pIcon, Form& pOwner);
    void activated(QSystemTrayIcon::ActivationReason pReason) const;

    TrayIcon& trayIcon;
    Form& owner;
    QMenu menu; // outlives the icon that shows it
    QSystemTrayIcon icon;
};

} // namespace zaptrove::platform::forms
