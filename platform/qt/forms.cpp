#include "platform/qt/forms_impl.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <optional>

namespace zaptrove::platform::forms {

namespace {

int toPixels(float pTwips) {
    return static_cast<int>(std::lround(pTwips / twipsPerPixelX()));
}

void fire(const EventHandler& pHandler) {
    if (pHandler) {
        pHandler();
    }
}

int sideOf(const QRect& pRect, Side pSide) {
    switch (pSide) {
    case Side::Left:
        return pRect.x();
    case Side::Top:
        return pRect.y();
    case Side::Width:
        return pRect.width();
    case Side::Height:
        return pRect.height();
    }
    return 0;
}

// Moves the left or top edge, keeping the size; sets the width or height.
void setSideOf(QRect& pRect, Side pSide, int pPixels) {
    switch (pSide) {
    case Side::Left:
        pRect.moveLeft(pPixels);
        break;
    case Side::Top:
        pRect.moveTop(pPixels);
        break;
    case Side::Width:
        pRect.setWidth(pPixels);
        break;
    case Side::Height:
        pRect.setHeight(pPixels);
        break;
    }
}

float controlSide(const Control::Impl& pControl, Side pSide) {
    const int pixels = sideOf(pControl.widget->geometry(), pSide);
    return pControl.memory.get(pSide, pixels, pixels);
}

void setControlSide(Control::Impl& pControl, Side pSide, float pTwips) {
    QRect geometry = pControl.widget->geometry();
    const int pixels = toPixels(pTwips);
    setSideOf(geometry, pSide, pixels);
    pControl.memory.remember(pSide, pTwips, pixels);
    pControl.widget->setGeometry(geometry);
}

bool isPosition(Side pSide) {
    return pSide == Side::Left || pSide == Side::Top;
}

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

template <typename Widget> Widget& widgetOf(const Control& pControl) {
    return static_cast<Widget&>(*pControl.impl().widget);
}

// A new control inside pParent, whose widget is a Widget made from pArguments
// and the parent widget.
template <typename Widget, typename... Arguments>
std::unique_ptr<Control::Impl> childOf(Container pParent, float pLeft, float pTop, float pWidth,
                                       float pHeight, const Arguments&... pArguments) {
    Form* const form = pParent.form();
    Form::Impl& formImpl = form != nullptr ? form->impl() : pParent.frame()->impl().form;
    QWidget* const parent =
        form != nullptr ? &formImpl.widget : pParent.frame()->impl().widget.data();
    return std::make_unique<Control::Impl>(new Widget(pArguments..., parent), formImpl, pLeft, pTop,
                                           pWidth, pHeight);
}

// A radio button that a click selects but never clears, and that clears the
// other radio buttons of its parent when selected. Qt's own exclusivity would
// reach those in frames below the parent too, and keep the last one selected.
class OptionWidget final : public QRadioButton {
  public:
    OptionWidget(const QString& pCaption, QWidget* pParent) : QRadioButton(pCaption, pParent) {
        setAutoExclusive(false);
        connect(this, &QAbstractButton::toggled, this, [this](bool pSelected) {
            if (!pSelected) {
                return;
            }
            for (QRadioButton* other :
                 parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
                if (other != this) {
                    other->setChecked(false);
                }
            }
        });
    }

  protected:
    void nextCheckState() override { setChecked(true); }
};

Qt::WindowFlags windowFlagsFor(FormStyle pStyle) {
    const Qt::WindowFlags common = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return pStyle == FormStyle::Dialog ? Qt::Dialog | common
                                       : Qt::Window | common | Qt::WindowMinimizeButtonHint;
}

// The character code a key press hands to key-press handlers: Enter and keys
// that type a character; Escape, Tab and Delete type none.
std::optional<std::int16_t> characterCode(const QKeyEvent& pEvent) {
    switch (pEvent.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KEY_RETURN;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return std::nullopt;
    default:
        break;
    }
    if (pEvent.text().isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(pEvent.text().at(0).unicode());
}

} // namespace

float TwipsMemory::get(Side pSide, int pMeasured, int pShown) const {
    const std::optional<Entry>& entry = entries_[static_cast<std::size_t>(pSide)];
    return entry && entry->pixels == pMeasured ? entry->twips
                                               : static_cast<float>(pShown) * twipsPerPixelX();
}

void TwipsMemory::remember(Side pSide, float pTwips, int pMeasured) {
    entries_[static_cast<std::size_t>(pSide)] = Entry{pTwips, pMeasured};
}

// Application and desktop services

struct Application::Impl {
    Impl(int& pArgc, char** pArgv) : application(pArgc, pArgv) {}
    QApplication application;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {}
Application::~Application() = default;
int Application::exec() {
    return QApplication::exec();
}

void doEvents() {
    QCoreApplication::processEvents();
}

void whenIdle(std::function<void()> pAction) {
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(pAction));
}

bool appActivate(std::string_view pCaption) {
    const QString caption = toQString(pCaption);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (dynamic_cast<FormWidget*>(window) != nullptr && window->windowTitle() == caption) {
            window->show();
            window->raise();
            window->activateWindow();
            return true;
        }
    }
    return false;
}

float twipsPerPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return 1440.0f / static_cast<float>(screen != nullptr ? screen->logicalDotsPerInchX() : 96.0);
}

void clipboardClear() {
    QGuiApplication::clipboard()->clear();
}
void clipboardSetText(std::string_view pText) {
    QGuiApplication::clipboard()->setText(toQString(pText));
}
std::string clipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

// Controls

Control::Impl::Impl(QWidget* pWidget, Form::Impl& pForm, float pLeft, float pTop, float pWidth,
                    float pHeight)
    : widget(pWidget), form(pForm) {
    setControlSide(*this, Side::Left, pLeft);
    setControlSide(*this, Side::Top, pTop);
    setControlSide(*this, Side::Width, pWidth);
    setControlSide(*this, Side::Height, pHeight);
    widget->installEventFilter(this);
    widget->show();
}

Control::Impl::~Impl() {
    delete widget.data();
}

bool Control::Impl::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() != QEvent::KeyPress) {
        return QObject::eventFilter(pWatched, pEvent);
    }
    const auto& key = static_cast<const QKeyEvent&>(*pEvent);
    if (key.key() == Qt::Key_Escape) {
        return form.pressCancel();
    }
    const std::optional<std::int16_t> code = characterCode(key);
    if (!code || onKeyPress == nullptr || !*onKeyPress) {
        return false;
    }
    std::int16_t keyAscii = *code;
    (*onKeyPress)(keyAscii);
    return keyAscii == 0;
}

Control::Control(std::unique_ptr<Impl> pImpl) : impl_(std::move(pImpl)) {}
Control::~Control() = default;

float Control::left() const {
    return controlSide(*impl_, Side::Left);
}
float Control::top() const {
    return controlSide(*impl_, Side::Top);
}
float Control::width() const {
    return controlSide(*impl_, Side::Width);
}
float Control::height() const {
    return controlSide(*impl_, Side::Height);
}
void Control::setLeft(float pTwips) {
    setControlSide(*impl_, Side::Left, pTwips);
}
void Control::setTop(float pTwips) {
    setControlSide(*impl_, Side::Top, pTwips);
}
void Control::setWidth(float pTwips) {
    setControlSide(*impl_, Side::Width, pTwips);
}
void Control::setHeight(float pTwips) {
    setControlSide(*impl_, Side::Height, pTwips);
}
bool Control::visible() const {
    return !impl_->widget->isHidden();
}
void Control::setVisible(bool pVisible) {
    impl_->widget->setVisible(pVisible);
}
bool Control::tabStop() const {
    return impl_->widget->focusPolicy() == Qt::StrongFocus;
}
void Control::setTabStop(bool pTabStop) {
    impl_->widget->setFocusPolicy(pTabStop ? Qt::StrongFocus : Qt::ClickFocus);
}
std::string Control::toolTip() const {
    return impl_->widget->toolTip().toStdString();
}
void Control::setToolTip(std::string_view pText) {
    impl_->widget->setToolTip(toQString(pText));
}
void Control::setFocus() {
    impl_->widget->setFocus(Qt::OtherFocusReason);
}
bool Control::hasFocus() const {
    return impl_->widget->hasFocus();
}

Container::Container(Form& pForm) : form_(&pForm) {}
Container::Container(Frame& pFrame) : frame_(&pFrame) {}

Frame::Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(childOf<QFrame>(pParent, pLeft, pTop, pWidth, pHeight)) {}

Frame::Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
             std::string_view pCaption)
    : Control(childOf<QGroupBox>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {}

std::string Frame::caption() const {
    const auto* box = qobject_cast<const QGroupBox*>(impl().widget.data());
    return box != nullptr ? box->title().toStdString() : std::string();
}

Label::Label(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
             std::string_view pCaption)
    : Control(childOf<QLabel>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {
    auto& label = widgetOf<QLabel>(*this);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setWordWrap(true);
}

std::string Label::caption() const {
    return widgetOf<QLabel>(*this).text().toStdString();
}

std::string Checkable::caption() const {
    return widgetOf<QAbstractButton>(*this).text().toStdString();
}
bool Checkable::value() const {
    return widgetOf<QAbstractButton>(*this).isChecked();
}
void Checkable::setValue(bool pValue) {
    widgetOf<QAbstractButton>(*this).setChecked(pValue);
}

CheckBox::CheckBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
                   std::string_view pCaption)
    : Checkable(childOf<QCheckBox>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {}

OptionButton::OptionButton(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
                           std::string_view pCaption)
    : Checkable(childOf<OptionWidget>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {
}

TextBox::TextBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(childOf<QLineEdit>(pParent, pLeft, pTop, pWidth, pHeight)) {
    impl().onKeyPress = &onKeyPress;
}

std::string TextBox::text() const {
    return widgetOf<QLineEdit>(*this).text().toStdString();
}
void TextBox::setText(std::string_view pText) {
    widgetOf<QLineEdit>(*this).setText(toQString(pText));
}

void TextBox::setSelStart(int pStart) {
    auto& edit = widgetOf<QLineEdit>(*this);
    edit.setCursorPosition(std::clamp(pStart, 0, static_cast<int>(edit.text().size())));
}

void TextBox::setSelLength(int pLength) {
    auto& edit = widgetOf<QLineEdit>(*this);
    const int start = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
    edit.setSelection(start, std::max(pLength, 0)); // Qt stops a selection at the end
}

std::string TextBox::selectedText() const {
    return widgetOf<QLineEdit>(*this).selectedText().toStdString();
}

bool TextBox::readOnly() const {
    return widgetOf<QLineEdit>(*this).isReadOnly();
}
void TextBox::setReadOnly(bool pReadOnly) {
    widgetOf<QLineEdit>(*this).setReadOnly(pReadOnly);
}

ListBox::ListBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(childOf<QListWidget>(pParent, pLeft, pTop, pWidth, pHeight)) {
    auto& list = widgetOf<QListWidget>(*this);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    // Rows of one height let the list lay out many rows without measuring each.
    list.setUniformItemSizes(true);
    QObject::connect(&list, &QListWidget::itemSelectionChanged, &impl(), [this] { fire(onClick); });
    QObject::connect(&list, &QListWidget::itemDoubleClicked, &impl(), [this] { fire(onDblClick); });
    impl().onKeyPress = &onKeyPress;
}

int ListBox::listCount() const {
    return widgetOf<QListWidget>(*this).count();
}

std::string ListBox::list(int pIndex) const {
    const QListWidgetItem* item = widgetOf<QListWidget>(*this).item(pIndex);
    return item != nullptr ? item->text().toStdString() : std::string();
}

void ListBox::addItem(std::string_view pText) {
    widgetOf<QListWidget>(*this).addItem(toQString(pText));
}

void ListBox::setItems(const std::vector<std::string>& pLines) {
    auto& list = widgetOf<QListWidget>(*this);
    const QSignalBlocker quiet(list);
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(pLines.size()));
    for (const std::string& line : pLines) {
        rows.append(toQString(line));
    }
    list.clear();
    list.addItems(rows);
    list.setCurrentRow(-1);
}

int ListBox::listIndex() const {
    const auto& list = widgetOf<QListWidget>(*this);
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.front());
}

void ListBox::setListIndex(int pIndex) {
    if (pIndex == listIndex()) {
        fire(onClick);
        return;
    }
    widgetOf<QListWidget>(*this).setCurrentRow(pIndex); // the selection change raises onClick
}

CommandButton::CommandButton(Container pParent, float pLeft, float pTop, float pWidth,
                             float pHeight, std::string_view pCaption)
    : Control(childOf<QPushButton>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {
    auto& button = widgetOf<QPushButton>(*this);
    QObject::connect(&button, &QPushButton::clicked, &impl(), [this] { fire(onClick); });
}

std::string CommandButton::caption() const {
    return widgetOf<QPushButton>(*this).text().toStdString();
}

// Forms

FormWidget::FormWidget(Form& pForm, FormStyle pStyle)
    : QWidget(nullptr, windowFlagsFor(pStyle)), form_(pForm) {}

// The window system's own show events, as for a window restored from its
// minimised state, are no showing by the program.
void FormWidget::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    if (!pEvent->spontaneous()) {
        fire(form_.onActivate);
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
    }
}

void FormWidget::closeEvent(QCloseEvent* pEvent) {
    if (!form_.impl().unloading) {
        fire(form_.onUnload);
    }
    pEvent->accept();
}

// Escape reaches here when the focus is on no control.
void FormWidget::keyPressEvent(QKeyEvent* pEvent) {
    if (pEvent->key() == Qt::Key_Escape && form_.impl().pressCancel()) {
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

bool Form::Impl::pressCancel() const {
    if (cancelButton.isNull()) {
        return false;
    }
    cancelButton->click();
    return true;
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

float Form::left() const {
    return formSide(*impl_, Side::Left);
}
float Form::top() const {
    return formSide(*impl_, Side::Top);
}
float Form::width() const {
    return formSide(*impl_, Side::Width);
}
float Form::height() const {
    return formSide(*impl_, Side::Height);
}
void Form::setLeft(float pTwips) {
    setFormSide(*impl_, Side::Left, pTwips);
}
void Form::setTop(float pTwips) {
    setFormSide(*impl_, Side::Top, pTwips);
}
void Form::setWidth(float pTwips) {
    setFormSide(*impl_, Side::Width, pTwips);
}
void Form::setHeight(float pTwips) {
    setFormSide(*impl_, Side::Height, pTwips);
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
