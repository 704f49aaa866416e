// SPDX-License-Identifier: MIT
#pragma once

#include "forms/forms.h"
#include "forms/twips_memory.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The Win32 side of forms.h, shared by its implementation files. Forms are
// top-level windows and frames child windows of the program's own classes;
// the other controls are the system's, subclassed for their keys.
namespace zaptrove::platform::forms {

std::wstring toWide(std::string_view pText);
std::string toUtf8(std::wstring_view pText);
std::string windowText(HWND pWindow);

// A child window's rectangle in its parent's client area.
RECT rectInParent(HWND pWindow);
// A side of a window's rectangle, in pixels.
int sideOf(const RECT& pRect, Side pSide);

// Runs an event handler, when one is set.
inline void fire(const EventHandler& pHandler) {
    if (pHandler) {
        pHandler();
    }
}

// The clipboard, opened for this program while the object lives; another
// program may hold it for a moment.
class OpenClipboard {
  public:
    OpenClipboard();
    ~OpenClipboard();
    OpenClipboard(const OpenClipboard&) = delete;
    OpenClipboard& operator=(const OpenClipboard&) = delete;
    bool isOpen() const { return open_; }

  private:
    bool open_ = false;
};

// The system's message font at pDotsPerInch, which every control shows its
// text in, or that font pSmallerBy pixels smaller, for captions that need it.
// Each is made once and lives as long as the Application.
HFONT dialogFont(UINT pDotsPerInch, int pSmallerBy = 0);
// The dots per inch of the screen a window is on.
UINT dotsPerInchOf(HWND pWindow);
// Window classes of forms and frames, registered by the Application.
inline constexpr const wchar_t* FORM_CLASS = L"ZaptroveForm";
inline constexpr const wchar_t* FRAME_CLASS = L"ZaptroveFrame";
LRESULT CALLBACK formProcedure(HWND pWindow, UINT pMessage, WPARAM pWParam, LPARAM pLParam);
LRESULT CALLBACK frameProcedure(HWND pWindow, UINT pMessage, WPARAM pWParam, LPARAM pLParam);

// The message the notification area sends its icon's owner form: the mouse
// message in the low word of lParam.
inline constexpr UINT WM_TRAY_CALLBACK = WM_APP + 1;

// The program icon in the two sizes a window shows; another form can share it.
struct FormIcon {
    HICON big = nullptr;
    HICON small = nullptr;
    FormIcon() = default;
    FormIcon(const FormIcon&) = delete;
    FormIcon& operator=(const FormIcon&) = delete;
    ~FormIcon();
};

// A list's rows: every line and note end to end in one UTF-8 buffer, so that
// filling a list allocates nothing per row; a row becomes UTF-16 only when
// drawn or asked for.
struct ListRows {
    // A row beyond pNotes has no note.
    void assign(const std::vector<std::string>& pLines, const std::vector<std::string>& pNotes);
    std::size_t size() const { return ends.size() / 2; }
    std::string_view line(std::size_t pRow) const { return piece(2 * pRow); }
    std::string_view note(std::size_t pRow) const { return piece(2 * pRow + 1); }
    std::string_view piece(std::size_t pPiece) const;

    std::string text;
    // Where row i's line (ends[2i]) and note (ends[2i + 1]) end in text.
    std::vector<std::size_t> ends;
    // The rows that can be the widest, measured for the list's scroll width,
    // and the estimated width of the longest row left out (see widthUnits()).
    std::vector<std::size_t> widest;
    std::size_t unmeasuredUnits = 0;
};

enum class Kind { Frame, Label, CheckBox, Option, TextBox, HotkeyBox, ListBox, Button };

struct Form::Impl {
    Impl(Form& pForm, std::string_view pCaption, float pClientWidth, float pClientHeight,
         FormStyle pStyle);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Escape: clicks the cancel button; false when the form has none.
    bool pressCancel() const;
    // Enter: clicks the default button; false when the form has none.
    bool pressDefault() const;
    // Tab and Shift+Tab: the next control in tab order that takes the focus.
    void moveFocus(const Control::Impl* pFrom, bool pBackwards) const;
    // The focus back where it was, else on the first control Tab reaches.
    void restoreFocus();
    // Alt and a letter: the control whose caption underlines it acts.
    bool pressAccessKey(wchar_t pLetter) const;
    // The form moved to a screen of another scale: every control keeps its
    // twips and takes the font of that scale.
    void rescale(UINT pDotsPerInch, const RECT& pSuggested);
    // Gives every caption the largest font, at most the dialog font, in which
    // all of them show whole.
    void fitCaptions() const;
    float twipsPerPixel() const { return 1440.0f / static_cast<float>(dotsPerInch); }
    // The window procedure's work, which answers 0; false leaves a message to
    // the default.
    bool handle(UINT pMessage, WPARAM pWParam, LPARAM pLParam);

    Form& form;
    HWND window = nullptr;
    FormStyle style;
    const Control::Impl* cancelButton = nullptr;
    const Control::Impl* defaultButton = nullptr;
    UINT dotsPerInch = 96;
    // Every control, in the order made.
    std::vector<Control::Impl*> controls;
    // Every control that can take the focus, in tab order.
    std::vector<Control::Impl*> tabOrder;
    HWND lastFocus = nullptr;
    HWND tooltip = nullptr;
    // Whether the program placed the form; a dialog it did not is centred
    // over the active window when first shown.
    bool placed = false;
    // The forms a modal showing disabled, enabled again when it ends.
    std::vector<HWND> disabledByModal;
    // The state setWindowState() gave the form while hidden, for its next show().
    int pendingState = -1;
    std::shared_ptr<const FormIcon> icon;
    TrayIcon::Impl* trayIcon = nullptr;
    std::vector<Timer::Impl*> timers;
    TwipsMemory memory;
    // Set while the program works in the background (Form::setBusy).
    bool busy = false;
};

struct Control::Impl {
    Impl(Kind pKind, Container pParent, const wchar_t* pClass, DWORD pStyle, DWORD pExStyle,
         std::string_view pText, float pLeft, float pTop, float pWidth, float pHeight);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // The subclassed control's work on its own messages; false passes a
    // message on to the system's control.
    bool handle(UINT pMessage, WPARAM pWParam, LPARAM pLParam, LRESULT& pResult);
    // A notification the control sent its parent (BN_CLICKED...).
    void notified(WORD pCode);
    void setFont(HFONT pFont) const;
    // An access key or Enter acts on the control as a click does.
    void click();
    // Checks an option button and clears the others of its parent.
    void select() const;
    // A key pressed in a hotkey box, with the modifiers held.
    void takeCombination(WPARAM pKey);
    bool takesFocus() const;
    // The mouse moved in a list, pY pixels below its top.
    void hoverRow(int pY);

    Kind kind;
    HWND window = nullptr;
    Form::Impl& form;
    WNDPROC systemProcedure = nullptr;
    // A captioned frame's box, drawn by a group box below its controls.
    HWND groupBox = nullptr;
    std::string toolTip;
    TwipsMemory memory;
    // The control's event handlers, for the kinds that have them.
    KeyPressHandler* onKeyPress = nullptr;
    KeyDownHandler* onKeyDown = nullptr;
    EventHandler* onClick = nullptr;
    EventHandler* onDblClick = nullptr;
    EventHandler* onChange = nullptr;
    std::function<std::optional<std::string>(int)>* rowToolTip = nullptr;
    // A list's row under the mouse when it last moved (-2 before it did), and
    // its rows.
    int hoveredRow = -2;
    ListRows rows;
    // Set while the program sets a text box's text, which is no change by the user.
    bool settingText = false;
};

// Sets the control's tooltip, adding or removing its tool as needed.
void setToolTipOf(Control::Impl& pControl, std::string_view pText);

// Whether the control shows its whole caption in pFont; true for one without
// caption, or hidden under others.
bool captionFits(const Control::Impl& pControl, HFONT pFont);
// Where the system draws a captioned frame's caption, in the frame's client
// area; its border's top line runs through the caption's middle.
RECT frameCaptionArea(const Control::Impl& pFrame);

// A list's row height and scroll width, for its font and rows.
void fitListRows(const Control::Impl& pList);
// A character typed in a list selects the next row whose line starts with it,
// as the system's list does with strings it holds; false for a control
// character, which the list takes as it is.
bool selectRowStartingWith(Control::Impl& pList, WPARAM pCharacter);
// WM_MEASUREITEM and WM_DRAWITEM of the owner-drawn lists, reaching their form
// or frame; false for another message.
bool listRowMessage(UINT pMessage, LPARAM pLParam, UINT pDotsPerInch);

// The control behind a window of the program's, or null.
Control::Impl* controlOf(HWND pWindow);
// A control's notification (WM_COMMAND) reaching its form or frame.
void forwardNotification(WPARAM pWParam, LPARAM pLParam);
// Runs the action whenAskedToEnd() set, if any.
void requestEnd(EndRequest pRequest);
// The window controls are made in: the form's, or the frame's.
HWND windowOf(Container pContainer);

struct Timer::Impl {
    Impl(Timer& pTimer, Form& pForm);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    UINT_PTR id() const;
    void stop();
    void elapsed();

    Timer& timer;
    Form::Impl& form;
};

struct TrayIcon::Impl {
    Impl(TrayIcon& pIcon, Form& pOwner);
    ~Impl();
    // Explorer started afresh: the icon is added again when shown.
    void recreate();
    // A mouse message the notification area reported for the icon.
    void notified(UINT pMouseMessage) const;
    // Opens the menu at the mouse and runs the entry chosen, if any.
    void showMenu() const;

    TrayIcon& trayIcon;
    Form& owner;
    bool shown = false;
    std::wstring tip;
    std::vector<TrayMenuItem> menu;
};

} // namespace zaptrove::platform::forms
