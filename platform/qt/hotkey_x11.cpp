// SPDX-License-Identifier: MIT
#include "platform/qt/hotkey_impl.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace zaptrove::platform {

namespace {

constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kScrollLock = 0xff14;
constexpr std::uint8_t kBadAccess = 10;
// The modifiers a hotkey is made of; the others are lock keys or unused.
constexpr std::uint16_t kHotkeyModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

// The server's key map: which key codes carry a keysym, and which modifier a key sets.
class KeyboardMap {
  public:
    explicit KeyboardMap(xcb_connection_t* connection)
        : setup_(xcb_get_setup(connection)),
          keys_(xcb_get_keyboard_mapping_reply(
                    connection,
                    xcb_get_keyboard_mapping(connection, setup_->min_keycode,
                                             setup_->max_keycode - setup_->min_keycode + 1),
                    nullptr),
                &std::free),
          modifiers_(xcb_get_modifier_mapping_reply(connection,
                                                    xcb_get_modifier_mapping(connection), nullptr),
                     &std::free) {}

    // The first key code that carries the keysym; 0 when none does.
    xcb_keycode_t keyCode(xcb_keysym_t symbol) const {
        if (!keys_) {
            return 0;
        }
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(keys_.get());
        const int perKey = keys_->keysyms_per_keycode;
        const int count = xcb_get_keyboard_mapping_keysyms_length(keys_.get());
        for (int i = 0; i < count; ++i) {
            if (symbols[i] == symbol) {
                return static_cast<xcb_keycode_t>(setup_->min_keycode + i / perKey);
            }
        }
        return 0;
    }

    // The modifier mask the key of a keysym sets; 0 when it sets none.
    std::uint16_t modifierMask(xcb_keysym_t symbol) const {
        const xcb_keycode_t code = keyCode(symbol);
        if (!modifiers_ || code == 0) {
            return 0;
        }
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifiers_.get());
        const int perModifier = modifiers_->keycodes_per_modifier;
        for (int i = 0; i < 8 * perModifier; ++i) {
            if (codes[i] == code) {
                return static_cast<std::uint16_t>(1U << (i / perModifier));
            }
        }
        return 0;
    }

  private:
    const xcb_setup_t* setup_;
    ReplyPointer<xcb_get_keyboard_mapping_reply_t> keys_;
    ReplyPointer<xcb_get_modifier_mapping_reply_t> modifiers_;
};

// Every combination of Caps Lock, Num Lock and Scroll Lock, so that none of
// them stops the hotkey.
std::vector<std::uint16_t> lockCombinations(const KeyboardMap& keyboard) {
    std::vector<std::uint16_t> combinations = {0};
    for (const std::uint16_t lock :
         {std::uint16_t{XCB_MOD_MASK_LOCK}, keyboard.modifierMask(kNumLock),
          keyboard.modifierMask(kScrollLock)}) {
        if (lock == 0 || (lock & kHotkeyModifiers) != 0) {
            continue;
        }
        const std::size_t known = combinations.size();
        for (std::size_t i = 0; i < known; ++i) {
            if ((combinations[i] & lock) == 0) {
                combinations.push_back(combinations[i] | lock);
            }
        }
    }
    return combinations;
}

// The grab, and the watch on Qt's event stream for its key.
class X11Hotkey final : public Hotkey, public QAbstractNativeEventFilter {
  public:
    X11Hotkey(xcb_connection_t* connection, xcb_window_t root, xcb_keycode_t key,
              std::uint16_t modifiers, std::function<void()> pressed)
        : connection_(connection), root_(root), key_(key), modifiers_(modifiers),
          pressed_(std::move(pressed)) {}

    ~X11Hotkey() override {
        if (filtering_) {
            QCoreApplication::instance()->removeNativeEventFilter(this);
        }
        for (const std::uint16_t locks : grabbed_) {
            xcb_ungrab_key(connection_, key_, root_, modifiers_ | locks);
        }
        xcb_flush(connection_);
    }

    // Grabs the key with each lock combination; false when the server refused
    // one because another program holds it.
    bool grab(const std::vector<std::uint16_t>& locks) {
        std::vector<std::pair<std::uint16_t, xcb_void_cookie_t>> requests;
        // Not owner events: the key comes to the root window even while one of
        // ours has the focus.
        for (const std::uint16_t lock : locks) {
            requests.emplace_back(
                lock, xcb_grab_key_checked(connection_, 0, root_, modifiers_ | lock, key_,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
        bool refused = false;
        for (const auto& [lock, cookie] : requests) {
            ReplyPointer<xcb_generic_error_t> error(xcb_request_check(connection_, cookie),
                                                    &std::free);
            if (!error) {
                grabbed_.push_back(lock);
            } else if (error->error_code == kBadAccess) {
                refused = true;
            }
        }
        if (!refused) {
            QCoreApplication::instance()->installNativeEventFilter(this);
            filtering_ = true;
        }
        return !refused;
    }

    // The key's presses and releases on the root window are the hotkey's; a
    // key held down repeats presses, which count once.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t kind = event->response_type & 0x7f;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) {
            return false;
        }
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (key->event != root_ || key->detail != key_) {
            return false;
        }
        // The modifiers may go up before the key does.
        if (kind == XCB_KEY_RELEASE) {
            held_ = false;
        } else if ((key->state & kHotkeyModifiers) != modifiers_) {
            return false;
        } else if (!held_) {
            held_ = true;
            // Out of Qt's event handling, which the window's showing re-enters.
            QTimer::singleShot(0, QCoreApplication::instance(), pressed_);
        }
        return true;
    }

  private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_keycode_t key_;
    std::uint16_t modifiers_;
    std::function<void()> pressed_;
    std::vector<std::uint16_t> grabbed_;
    bool filtering_ = false;
    bool held_ = false;
};

} // namespace

std::unique_ptr<Hotkey> registerX11Hotkey(const HotkeySequence& pSequence,
                                          std::function<void()> pPressed,
                                          const HotkeyReported& pReported) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        pReported(HotkeyState::Unavailable, "no X display");
        return nullptr;
    }
    const KeyboardMap keyboard(connection);
    const xcb_keycode_t key = keyboard.keyCode(x11Keysym(pSequence));
    if (key == 0) {
        pReported(HotkeyState::Invalid, "the keyboard has no such key");
        return nullptr;
    }
    const auto modifiers = static_cast<std::uint16_t>(
        (pSequence.ctrl ? XCB_MOD_MASK_CONTROL : 0) | (pSequence.alt ? XCB_MOD_MASK_1 : 0) |
        (pSequence.shift ? XCB_MOD_MASK_SHIFT : 0) | (pSequence.meta ? XCB_MOD_MASK_4 : 0));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto hotkey =
        std::make_unique<X11Hotkey>(connection, root, key, modifiers, std::move(pPressed));
    if (!hotkey->grab(lockCombinations(keyboard))) {
        pReported(HotkeyState::Taken, "another program holds it");
        return nullptr;
    }
    pReported(HotkeyState::Registered, "");
    return hotkey;
}

} // namespace zaptrove::platform
