// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The window toolkit in the program's own terms: forms and controls addressed
// in twips (1440 to the inch) as single-precision values, with the events the
// program handles. The implementations are over Qt Widgets in forms/qt/ and
// over the Win32 controls in forms/win32/.
namespace zaptrove::platform::forms {

// Window states, as Form::windowState() reports them.
inline constexpr int WINDOW_NORMAL = 0;
inline constexpr int WINDOW_MINIMIZED = 1;
inline constexpr int WINDOW_MAXIMIZED = 2;

// Character codes handed to key-press handlers.
inline constexpr std::int16_t KEY_RETURN = 13;
inline constexpr std::int16_t KEY_ESCAPE = 27;

// Key codes handed to key-down handlers, for keys that type no character.
inline constexpr std::int16_t KEY_DOWN = 40;

// A key-press handler receives the typed character's code by reference;
// setting it to 0 swallows the key.
using KeyPressHandler = std::function<void(std::int16_t& pKeyAscii)>;
using EventHandler = std::function<void()>;
// A key-down handler receives the key's code (KEY_DOWN) by reference; setting
// it to 0 swallows the key.
using KeyDownHandler = std::function<void(std::int16_t& pKeyCode)>;

// Runs the toolkit; exactly one exists while any form does.
class Application {
  public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // Runs the event loop until the program ends; answers the exit status.
    int exec();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Lets pending window events be processed.
void doEvents();
// Runs pAction on the window thread once the event loop, or a modal form's
// loop, next waits for events. It may be called from any thread.
void whenIdle(std::function<void()> pAction);
// How the desktop asks the program to end from outside.
enum class EndRequest {
    SessionEnding, // the session manager ends the session (it may still cancel)
    EndNow,        // SIGTERM or SIGHUP, as sent when the session or terminal goes
};
// Runs pAction on the window thread at each such request; a later call
// replaces the action. Requests before the first call are the system's default.
void whenAskedToEnd(std::function<void(EndRequest)> pAction);
// Brings the top-level window with this caption to the front; false when none has it.
bool appActivate(std::string_view pCaption);
// Whether Shift was held in the key or mouse event being handled.
bool shiftHeld();
// The screen's twips per pixel: 1440 / logical dots per inch (15 at 96 dpi).
float twipsPerPixelX();

// A rectangle in twips.
struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipsRect&) const = default;
};
// The part of each screen that windows may cover (the desktop's panels left
// out), the primary screen first.
std::vector<TwipsRect> screenWorkAreas();

void clipboardClear();
void clipboardSetText(std::string_view pText);

class Form;
class Frame;

// Where a control goes: straight on a form, or inside a frame. Both convert to
// it, so every control takes either as its parent.
class Container {
  public:
    Container(Form& pForm);
    Container(Frame& pFrame);
    // Exactly one of them is set.
    Form* form() const { return form_; }
    Frame* frame() const { return frame_; }

  private:
    Form* form_ = nullptr;
    Frame* frame_ = nullptr;
};

// What every control has. Positions are relative to the containing control.
class Control {
  public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    float left() const;
    float top() const;
    float width() const;
    float height() const;
    void setLeft(float pTwips);
    void setTop(float pTwips);
    void setWidth(float pTwips);
    void setHeight(float pTwips);
    // The control's own visibility flag (true even while its form is hidden).
    bool visible() const;
    void setVisible(bool pVisible);
    // Whether Tab reaches the control; a control without it still takes clicks.
    bool tabStop() const;
    void setTabStop(bool pTabStop);
    std::string toolTip() const;
    void setToolTip(std::string_view pText);
    void setFocus();

    struct Impl;
    Impl& impl() const { return *impl_; }

  protected:
    explicit Control(std::unique_ptr<Impl> pImpl);

  private:
    std::unique_ptr<Impl> impl_;
};

// A frame that holds other controls: without caption an invisible area, with
// one a box that shows it.
class Frame final : public Control {
  public:
    Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight);
    Frame(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
          std::string_view pCaption);
    // Empty for a frame without caption.
    std::string caption() const;
};

// Text the user cannot change; it wraps within the label's width.
class Label final : public Control {
  public:
    Label(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
          std::string_view pCaption);
    std::string caption() const;
    void setCaption(std::string_view pCaption);
};

// A captioned control that is on or off.
class Checkable : public Control {
  public:
    bool value() const;
    void setValue(bool pValue);

  protected:
    using Control::Control;
};

class CheckBox final : public Checkable {
  public:
    CheckBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
             std::string_view pCaption);
};

// The option buttons with the same parent form a group in which at most one is
// selected: selecting one, by a click or setValue(true), clears the others.
// setValue(false) clears only this one, so a group can have none selected; a
// click never clears.
class OptionButton final : public Checkable {
  public:
    OptionButton(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
                 std::string_view pCaption);
};

class TextBox final : public Control {
  public:
    TextBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight);
    std::string text() const;
    void setText(std::string_view pText);
    // Selection in characters; a length past the end selects to the end.
    void setSelStart(int pStart);
    void setSelLength(int pLength);
    std::string selectedText() const;
    // A read-only box still takes the focus and lets its text be selected.
    void setReadOnly(bool pReadOnly);
    KeyPressHandler onKeyPress;
    KeyDownHandler onKeyDown; // the Down arrow
    EventHandler onChange;    // the user changed the text (setText does not raise it)
};

// A box that takes a key combination as the user presses it and shows it as
// "Ctrl+Alt+Z" (see text/hotkey_sequence.h); a combination that cannot be
// a global hotkey is not taken. Backspace or Delete empty it; Escape and Tab
// keep their usual meaning.
class HotkeyBox final : public Control {
  public:
    HotkeyBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight);
    std::string text() const;
    void setText(std::string_view pText);
    EventHandler onChange; // the user changed the combination (setText does not raise it)
};

// A single-selection, unsorted list box.
class ListBox final : public Control {
  public:
    ListBox(Container pParent, float pLeft, float pTop, float pWidth, float pHeight);
    int listCount() const;
    std::string list(int pIndex) const;
    // Replaces every row at once, in time proportional to the rows; no row is
    // selected afterwards and no click is raised.
    void setItems(const std::vector<std::string>& pLines);
    // The same, each row followed by its note (where its bookmark lives),
    // dimmed. list() gives the row without its note.
    void setItems(const std::vector<std::string>& pLines, const std::vector<std::string>& pNotes);
    // A row's text made from its index.
    using RowText = std::function<std::string(std::size_t pRow)>;
    // The same for pCount rows whose lines pLine makes, and their notes pNote
    // (none when unset or empty), each as the list needs it: a long list then
    // costs what its rows in view cost. Both must answer for every row below
    // pCount until the list is filled again.
    void setRows(std::size_t pCount, RowText pLine, RowText pNote = {});
    // -1 when no row is selected.
    int listIndex() const;
    // Selecting a row raises onClick, as a selection by the user does.
    void setListIndex(int pIndex);
    EventHandler onClick;    // the selection changed
    EventHandler onDblClick; // a row was double-clicked
    KeyPressHandler onKeyPress;
    // When set, the tooltip over a row is the text it answers for that row (-1
    // for none), wrapped to at most a third of the screen's width, and an empty
    // text shows none; answering nothing keeps the list's own tooltip.
    std::function<std::optional<std::string>(int pRow)> rowToolTip;
};

class CommandButton final : public Control {
  public:
    CommandButton(Container pParent, float pLeft, float pTop, float pWidth, float pHeight,
                  std::string_view pCaption);
    EventHandler onClick;
};

enum class FormStyle {
    Sizable, // a main window: minimise and close buttons, resizable
    Dialog,  // the close button only
};

class Form {
  public:
    // pWidth and pHeight are the client area's size.
    Form(std::string_view pCaption, float pClientWidth, float pClientHeight,
         FormStyle pStyle = FormStyle::Sizable);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    std::string caption() const;
    void setCaption(std::string_view pCaption);
    // The window's outer position and size, title bar and borders included.
    float left() const;
    float top() const;
    float width() const;
    float height() const;
    void setLeft(float pTwips);
    void setTop(float pTwips);
    void setWidth(float pTwips);
    void setHeight(float pTwips);
    int windowState() const;
    void setWindowState(int pState);
    void show();
    // Shows the form application-modal and returns once it is hidden or
    // unloaded (Cancel, Escape or the close box, when they unload it).
    void showModal();
    void hide();
    bool isShown() const;
    // Whether the form is the window in front that has the keyboard focus.
    bool isActive() const;
    // While set, the mouse pointer over the form says the program is at work
    // in the background (the form still takes input).
    void setBusy(bool pBusy);
    // Closes the form: raises onUnload, then the form is gone from the screen.
    void unload();
    // The icon, from PNG bytes; another form can share it.
    void setIcon(std::string_view pPngBytes);
    void setIconFrom(const Form& pOther);
    // Escape anywhere in the form clicks this button.
    void setCancelButton(CommandButton& pButton);
    // Enter clicks this button, which shows as the default, wherever the focus
    // is but on a control that takes Enter itself: a push button (Enter clicks
    // the one focused), a box with a key-press handler, a hotkey box.
    void setDefaultButton(CommandButton& pButton);
    // Tab moves through these controls in this order.
    void setTabOrder(std::initializer_list<Control*> pControls);
    // The native window handle, for the shell's owner window.
    std::uintptr_t nativeHandle() const;

    EventHandler onResize; // size or window state changed
    EventHandler onUnload; // the window is being closed (close box included)
    // The window is being shown by the program: on each show(), showModal() or
    // appActivate() of the hidden form, before the user can act on it.
    EventHandler onActivate;

    struct Impl;
    Impl& impl() const { return *impl_; }

  private:
    std::unique_ptr<Impl> impl_;
};

// Asks the user for a folder (pFolder) or a file with the system's dialog over
// pOwner, starting at pStart; nothing when the user cancels.
std::optional<std::string> choosePath(const Form& pOwner, std::string_view pTitle,
                                      std::string_view pStart, bool pFolder);

// Raises onTimeout once, a given time after start(), on the window thread of
// its form. Starting it again starts the time afresh; nothing is raised once
// it is stopped or gone.
class Timer {
  public:
    explicit Timer(Form& pForm);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void start(int pMilliseconds);
    void stop();
    EventHandler onTimeout;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// A click on a notification-area icon: the left button released, a left
// double click, the right or the middle button released.
enum class TrayClick { Left, Double, Right, Middle };

// One entry of a notification-area icon's menu.
struct TrayMenuItem {
    std::string caption;
    EventHandler onChoose;
};

// An icon in the desktop's notification area for its owner form.
class TrayIcon {
  public:
    explicit TrayIcon(Form& pOwner);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Whether the desktop has a notification area.
    static bool isAvailable();
    // Shows the icon, with the owner's icon and pTip as its tooltip.
    void add(std::string_view pTip);
    void remove();
    // Whether the icon was added and not removed; kept without a notification
    // area too.
    bool isShown() const;
    // The menu a right click opens, in this order; none while empty (the start).
    void setMenu(std::vector<TrayMenuItem> pItems);

    std::function<void(TrayClick)> onClick; // every click, the right one too

    struct Impl;
    Impl& impl() const { return *impl_; }

  private:
    std::unique_ptr<Impl> impl_;
};

} // namespace zaptrove::platform::forms
