#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

// The window toolkit in the program's own terms: forms and controls addressed
// in twips (1440 to the inch) as single-precision values, with the events the
// program handles. The implementation over Qt lives in platform/qt/.
namespace zaptrove::platform::forms {

// Window states, as Form::windowState() reports them.
inline constexpr int WINDOW_NORMAL = 0;
inline constexpr int WINDOW_MINIMIZED = 1;
inline constexpr int WINDOW_MAXIMIZED = 2;

// Character codes handed to key-press handlers.
inline constexpr std::int16_t KEY_RETURN = 13;
inline constexpr std::int16_t KEY_ESCAPE = 27;

// A key-press handler receives the typed character's code by reference;
// setting it to 0 swallows the key.
using KeyPressHandler = std::function<void(std::int16_t& pKeyAscii)>;
using EventHandler = std::function<void()>;

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
// Brings the top-level window with this caption to the front; false when none has it.
bool appActivate(std::string_view pCaption);
// The screen's twips per pixel: 1440 / logical dots per inch (15 at 96 dpi).
float twipsPerPixelX();

void clipboardClear();
void clipboardSetText(std::string_view pText);
std::string clipboardText();

class Form;

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
    bool hasFocus() const;

    struct Impl;
    Impl& impl() const { return *impl_; }

  protected:
    explicit Control(std::unique_ptr<Impl> pImpl);

  private:
    std::unique_ptr<Impl> impl_;
};

// A frame without caption that holds other controls.
class Frame final : public Control {
  public:
    Frame(Form& pParent, float pLeft, float pTop, float pWidth, float pHeight);
    Frame(Frame& pParent, float pLeft, float pTop, float pWidth, float pHeight);
};

class TextBox final : public Control {
  public:
    TextBox(Frame& pParent, float pLeft, float pTop, float pWidth, float pHeight);
    std::string text() const;
    void setText(std::string_view pText);
    // Selection in characters; a length past the end selects to the end.
    void setSelStart(int pStart);
    void setSelLength(int pLength);
    std::string selectedText() const;
    KeyPressHandler onKeyPress;
};

// A single-selection, unsorted list box.
class ListBox final : public Control {
  public:
    ListBox(Frame& pParent, float pLeft, float pTop, float pWidth, float pHeight);
    int listCount() const;
    std::string list(int pIndex) const;
    void addItem(std::string_view pText);
    void removeItem(int pIndex);
    // -1 when no row is selected.
    int listIndex() const;
    // Selecting a row raises onClick, as a selection by the user does.
    void setListIndex(int pIndex);
    EventHandler onClick;    // the selection changed
    EventHandler onDblClick; // a row was double-clicked
    KeyPressHandler onKeyPress;
};

class CommandButton final : public Control {
  public:
    CommandButton(Frame& pParent, float pLeft, float pTop, float pWidth, float pHeight,
                  std::string_view pCaption);
    std::string caption() const;
    EventHandler onClick;
};

class Form {
  public:
    // pWidth and pHeight are the client area's size.
    Form(std::string_view pCaption, float pClientWidth, float pClientHeight);
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
    void hide();
    bool isShown() const;
    // Closes the form: raises onUnload, then the form is gone from the screen.
    void unload();
    // The icon, from PNG bytes; another form can share it.
    void setIcon(std::string_view pPngBytes);
    void setIconFrom(const Form& pOther);
    // Escape anywhere in the form clicks this button.
    void setCancelButton(CommandButton& pButton);
    // Tab moves through these controls in this order.
    void setTabOrder(std::initializer_list<Control*> pControls);
    // The native window handle, for the shell's owner window.
    std::uintptr_t nativeHandle() const;

    EventHandler onResize; // size or window state changed
    EventHandler onUnload; // the window is being closed (close box included)

    struct Impl;
    Impl& impl() const { return *impl_; }

  private:
    std::unique_ptr<Impl> impl_;
};

// Drive the real widgets as a user would, for tests: keys go through the same
// event path as typed keys (so Escape reaches the cancel button).
void simulateTyping(Control& pControl, std::string_view pText);
void simulateKey(Control& pControl, std::int16_t pKeyAscii);
void simulateDoubleClick(ListBox& pList, int pRow);
void simulateClick(CommandButton& pButton);
// The window's close box.
void simulateClose(Form& pForm);

} // namespace zaptrove::platform::forms
