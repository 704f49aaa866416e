// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>

#include <algorithm>

namespace zaptrove::platform::forms {

// A form's sides are those of its outer frame. Its size is remembered against
// the client area it gave, which stays put when the frame's borders become
// known only once the window is shown.
float formSide(const Form::Impl& pForm, Side pSide) {
    const int shown = sideOf(pForm.widget.frameGeometry(), pSide);
    const int measured = isPosition(pSide) ? shown : sideOf(pForm.widget.geometry(), pSide);
    return pForm.memory.get(pSide, measured, shown);
}

void setFormSide(Form::Impl& pForm, Side pSide, float pTwips) {
    QWidget& widget = pForm.widget;
    const int pixels = toPixels(pTwips);
    if (isPosition(pSide)) {
        QRect frame = widget.frameGeometry();
        setSideOf(frame, pSide, pixels);
        pForm.memory.remember(pSide, pTwips, pixels);
        widget.move(frame.topLeft());
        return;
    }
    const int borders = sideOf(widget.frameGeometry(), pSide) - sideOf(widget.geometry(), pSide);
    const int client = std::max(1, pixels - borders);
    QRect geometry = widget.geometry();
    setSideOf(geometry, pSide, client);
    // Remembered first: the resize handler may run at once, read this size and
    // set another, which must not be overwritten afterwards.
    pForm.memory.remember(pSide, pTwips, client);
    widget.resize(geometry.size());
}

namespace {

Qt::WindowFlags windowFlagsFor(FormStyle pStyle) {
    const Qt::WindowFlags common = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return pStyle == FormStyle::Dialog ? Qt::Dialog | common
                                       : Qt::Window | common | Qt::WindowMinimizeButtonHint;
}

} // namespace

FormWidget::FormWidget(Form& pForm, FormStyle pStyle)
    : QWidget(nullptr, windowFlagsFor(pStyle)), form_(pForm) {}

// The window system's own show events, as for a window restored from its
// minimised state, are no showing by the program.
void FormWidget::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    if (!pEvent->spontaneous()) {
        fire(form_.onActivate);
    }
    showFocusRing();
}

// The focused control draws its focus ring whenever the window comes to the
// front, not only once Tab has moved the focus (Qt's style draws it then).
void FormWidget::showFocusRing() {
    setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* focused = focusWidget()) {
        focused->update();
    }
}

// A minimised window stays visible, and modal.
void FormWidget::hideEvent(QHideEvent* pEvent) {
    QWidget::hideEvent(pEvent);
    if (!form_.impl().modalLoop.isNull() && !isVisible()) {
        form_.impl().modalLoop->quit();
    }
}

void FormWidget::resizeEvent(QResizeEvent* pEvent) {
    QWidget::resizeEvent(pEvent);
    fire(form_.onResize);
}

void FormWidget::changeEvent(QEvent* pEvent) {
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::WindowStateChange) {
        fire(form_.onResize);
    } else if (pEvent->type() == QEvent::ActivationChange && isActiveWindow()) {
        showFocusRing();
    }
}

void FormWidget::closeEvent(QCloseEvent* pEvent) {
    if (!form_.impl().unloading) {
        fire(form_.onUnload);
    }
    pEvent->accept();
}

// Escape and Enter reach here when the focus is on no control.
void FormWidget::keyPressEvent(QKeyEvent* pEvent) {
    const int key = pEvent->key();
    if (key == Qt::Key_Escape && form_.impl().pressCancel()) {
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && form_.impl().pressDefault()) {
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

namespace {

bool clickIfAny(const QPointer<QPushButton>& pButton) {
    if (pButton.isNull()) {
        return false;
    }
    pButton->click();
    return true;
}

} // namespace

bool Form::Impl::pressCancel() const {
    return clickIfAny(cancelButton);
}

bool Form::Impl::pressDefault() const {
    return clickIfAny(defaultButton);
}

Form::Form(std::string_view pCaption, float pClientWidth, float pClientHeight, FormStyle pStyle)
    : impl_(std::make_unique<Impl>(*this, pStyle)) {
    impl_->widget.setWindowTitle(toQString(pCaption));
    impl_->widget.resize(toPixels(pClientWidth), toPixels(pClientHeight));
}

Form::~Form() = default;

std::string Form::caption() const {
    return impl_->widget.windowTitle().toStdString();
}
void Form::setCaption(std::string_view pCaption) {
    impl_->widget.setWindowTitle(toQString(pCaption));
}

int Form::windowState() const {
    const Qt::WindowStates state = impl_->widget.windowState();
    if (state.testFlag(Qt::WindowMinimized)) {
        return WINDOW_MINIMIZED;
    }
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return WINDOW_MAXIMIZED;
    }
    return WINDOW_NORMAL;
}

void Form::setWindowState(int pState) {
    QWidget& widget = impl_->widget;
    const Qt::WindowState state = pState == WINDOW_MINIMIZED   ? Qt::WindowMinimized
                                  : pState == WINDOW_MAXIMIZED ? Qt::WindowMaximized
                                                               : Qt::WindowNoState;
    widget.setWindowState((widget.windowState() & Qt::WindowActive) | state);
}

void Form::show() {
    fitCaptions(impl_->widget);
    impl_->widget.show();
}

// Modality takes effect when the window is shown, hence the hide first. A form
// that its onActivate hides or unloads gets no loop, which would never end.
void Form::showModal() {
    QWidget& widget = impl_->widget;
    widget.hide();
    widget.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    impl_->modalLoop = &loop;
    fitCaptions(widget);
    widget.show();
    if (widget.isVisible()) {
        loop.exec(QEventLoop::DialogExec);
    }
    widget.setWindowModality(Qt::NonModal);
}

void Form::hide() {
    impl_->widget.hide();
}
bool Form::isShown() const {
    return impl_->widget.isVisible();
}
bool Form::isActive() const {
    return impl_->widget.isActiveWindow();
}
void Form::setBusy(bool pBusy) {
    if (pBusy) {
        impl_->widget.setCursor(Qt::BusyCursor);
    } else {
        impl_->widget.unsetCursor();
    }
}

// onUnload runs first, and may end the program; the close that follows does
// not raise it again.
void Form::unload() {
    fire(onUnload);
    impl_->unloading = true;
    impl_->widget.close();
    impl_->unloading = false;
}

void Form::setIcon(std::string_view pPngBytes) {
    QPixmap pixmap;
    pixmap.loadFromData(reinterpret_cast<const uchar*>(pPngBytes.data()),
                        static_cast<uint>(pPngBytes.size()), "PNG");
    impl_->widget.setWindowIcon(QIcon(pixmap));
}

void Form::setIconFrom(const Form& pOther) {
    impl_->widget.setWindowIcon(pOther.impl_->widget.windowIcon());
}

void Form::setCancelButton(CommandButton& pButton) {
    impl_->cancelButton = &widgetOf<QPushButton>(pButton);
}

void Form::setDefaultButton(CommandButton& pButton) {
    impl_->defaultButton = &widgetOf<QPushButton>(pButton);
    impl_->defaultButton->setDefault(true);
}

void Form::setTabOrder(std::initializer_list<Control*> pControls) {
    const Control* previous = nullptr;
    for (const Control* control : pControls) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous->impl().widget, control->impl().widget);
        }
        previous = control;
    }
}

std::uintptr_t Form::nativeHandle() const {
    return static_cast<std::uintptr_t>(impl_->widget.winId());
}

} // namespace zaptrove::platform::forms
