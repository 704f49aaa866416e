// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"
#include "forms/qt/list_model.h"
#include "forms/qt/uniform_rows_view.h"
#include "text/hotkey_sequence.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove::platform::forms {

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

namespace {

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

// Records the combination pressed in it, in the hotkey's own spelling.
class HotkeyWidget final : public QLineEdit {
  public:
    HotkeyWidget(std::function<void()> pChanged, QWidget* pParent)
        : QLineEdit(pParent), changed_(std::move(pChanged)) {
        setReadOnly(true);
        setPlaceholderText(QStringLiteral("None"));
    }

  protected:
    void keyPressEvent(QKeyEvent* pEvent) override {
        const Qt::KeyboardModifiers modifiers =
            pEvent->modifiers() &
            (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
        const int key = pEvent->key();
        QString combination;
        if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && modifiers == Qt::NoModifier) {
            combination.clear();
        } else if (const auto sequence =
                       platform::parseHotkey(QKeySequence(QKeyCombination(modifiers, Qt::Key(key)))
                                                 .toString(QKeySequence::PortableText)
                                                 .toStdString())) {
            combination = QString::fromStdString(platform::formatHotkey(*sequence));
        } else {
            return; // a modifier alone, or no hotkey: wait for more
        }
        setText(combination);
        changed_();
    }

  private:
    std::function<void()> changed_;
};

// Enter, with no modifier that would make it a combination.
bool isPlainEnter(const QKeyEvent& pEvent) {
    return (pEvent.key() == Qt::Key_Return || pEvent.key() == Qt::Key_Enter) &&
           (pEvent.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ==
               Qt::NoModifier;
}

} // namespace

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
    if (isPlainEnter(key) && pressEnter()) {
        return true;
    }
    if (key.key() == Qt::Key_Down && onKeyDown != nullptr && *onKeyDown) {
        std::int16_t keyCode = KEY_DOWN;
        (*onKeyDown)(keyCode);
        return keyCode == 0;
    }
    const std::optional<std::int16_t> code = characterCode(key);
    if (!code || onKeyPress == nullptr || !*onKeyPress) {
        return false;
    }
    std::int16_t keyAscii = *code;
    (*onKeyPress)(keyAscii);
    return keyAscii == 0;
}

bool Control::Impl::pressEnter() const {
    if (auto* button = qobject_cast<QPushButton*>(widget.data())) {
        button->click();
        return true;
    }
    if ((onKeyPress != nullptr && *onKeyPress) ||
        dynamic_cast<const HotkeyWidget*>(widget.data()) != nullptr) {
        return false;
    }
    return form.pressDefault();
}

Control::Control(std::unique_ptr<Impl> pImpl) : impl_(std::move(pImpl)) {}
Control::~Control() = default;

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
Container::Container(Form& pForm) : form_(&pForm) {}
Container::Container(Frame& pFrame) : frame_(&pFrame) {}

Frame::Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(childOf<QFrame>(pParent, pLeft, pTop, pWidth, pHeight)) {}

Frame::Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
             std::string_view pCaption)
    : Control(childOf<FrameWidget>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {}

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
void Label::setCaption(std::string_view pCaption) {
    widgetOf<QLabel>(*this).setText(toQString(pCaption));
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
    impl().onKeyDown = &onKeyDown;
    QObject::connect(&widgetOf<QLineEdit>(*this), &QLineEdit::textEdited, &impl(),
                     [this] { fire(onChange); });
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

void TextBox::setReadOnly(bool pReadOnly) {
    widgetOf<QLineEdit>(*this).setReadOnly(pReadOnly);
}

HotkeyBox::HotkeyBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(childOf<HotkeyWidget>(pParent, pLeft, pTop, pWidth, pHeight,
                                    std::function<void()>([this] { fire(onChange); }))) {}

std::string HotkeyBox::text() const {
    return widgetOf<QLineEdit>(*this).text().toStdString();
}
void HotkeyBox::setText(std::string_view pText) {
    widgetOf<QLineEdit>(*this).setText(toQString(pText));
}

namespace {

QListView& viewOf(const ListBox& pList) {
    return widgetOf<QListView>(pList);
}

ListRowsModel& rowsOf(const ListBox& pList) {
    return static_cast<ListRowsModel&>(*viewOf(pList).model());
}

} // namespace

ListBox::ListBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight)
    : Control(childOf<UniformRowsView>(pParent, pLeft, pTop, pWidth, pHeight)) {
    auto& list = viewOf(*this);
    list.setModel(new ListRowsModel(&list));
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, &impl(),
                     [this] { fire(onClick); });
    QObject::connect(&list, &QAbstractItemView::doubleClicked, &impl(),
                     [this] { fire(onDblClick); }); // raised over a row only
    impl().onKeyPress = &onKeyPress;
    showRowToolTips(list, [this](int pRow) {
        return rowToolTip ? rowToolTip(pRow) : std::optional<std::string>();
    });
    showRowNotes(list);
}

int ListBox::listCount() const {
    return rowsOf(*this).rowCount();
}

std::string ListBox::list(int pIndex) const {
    return rowsOf(*this).line(pIndex);
}

void ListBox::setItems(const std::vector<std::string>& pLines) {
    setItems(pLines, {});
}

// The lines and notes are copied into one buffer each.
void ListBox::setItems(const std::vector<std::string>& pLines,
                       const std::vector<std::string>& pNotes) {
    auto lines = std::make_shared<PackedLines>();
    lines->assign(pLines, pLines.size());
    RowText note;
    if (!pNotes.empty()) {
        auto notes = std::make_shared<PackedLines>();
        notes->assign(pNotes, std::min(pNotes.size(), pLines.size()));
        note = [notes](std::size_t pRow) {
            return pRow < notes->size() ? std::string((*notes)[pRow]) : std::string();
        };
    }
    setRows(
        pLines.size(), [lines](std::size_t pRow) { return std::string((*lines)[pRow]); },
        std::move(note));
}

void ListBox::setRows(std::size_t pCount, RowText pLine, RowText pNote) {
    const QSignalBlocker quiet(viewOf(*this).selectionModel());
    // Resetting the rows clears the selection.
    rowsOf(*this).setRows(pCount, std::move(pLine), std::move(pNote));
}

int ListBox::listIndex() const {
    const QModelIndexList selected = viewOf(*this).selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void ListBox::setListIndex(int pIndex) {
    if (pIndex == listIndex()) {
        fire(onClick);
        return;
    }
    auto& list = viewOf(*this);
    // The selection change raises onClick.
    list.selectionModel()->setCurrentIndex(list.model()->index(pIndex, 0),
                                           QItemSelectionModel::ClearAndSelect);
}

CommandButton::CommandButton(Container pParent, float pLeft, float pTop, float pWidth,
                             float pHeight, std::string_view pCaption)
    : Control(childOf<QPushButton>(pParent, pLeft, pTop, pWidth, pHeight, toQString(pCaption))) {
    auto& button = widgetOf<QPushButton>(*this);
    QObject::connect(&button, &QPushButton::clicked, &impl(), [this] { fire(onClick); });
}

} // namespace zaptrove::platform::forms
