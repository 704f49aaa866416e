// SPDX-License-Identifier: MIT
#include "text/hotkey_sequence.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zaptrove::platform {

namespace {

struct NamedKey {
    std::string_view name;    // as the key box writes it
    std::string_view x11Name; // the keysym's name, as portals take it
    std::uint32_t x11Keysym;
    std::uint16_t windowsKey;
    bool alone; // may be a hotkey without Ctrl, Alt or Meta
};

constexpr std::uint32_t kX11F1 = 0xffbe;
constexpr std::uint16_t kWindowsF1 = 0x70;
constexpr int kFunctionKeys = 24;

// clang-format off
constexpr std::array<NamedKey, 18> kNamedKeys = {{
    {"Space",     "space",     0x0020, 0x20, false},
    {"Tab",       "Tab",       0xff09, 0x09, false},
    {"Backspace", "BackSpace", 0xff08, 0x08, false},
    {"Return",    "Return",    0xff0d, 0x0d, false},
    {"Esc",       "Escape",    0xff1b, 0x1b, false},
    {"Ins",       "Insert",    0xff63, 0x2d, false},
    {"Del",       "Delete",    0xffff, 0x2e, false},
    {"Home",      "Home",      0xff50, 0x24, false},
    {"End",       "End",       0xff57, 0x23, false},
    {"Left",      "Left",      0xff51, 0x25, false},
    {"Up",        "Up",        0xff52, 0x26, false},
    {"Right",     "Right",     0xff53, 0x27, false},
    {"Down",      "Down",      0xff54, 0x28, false},
    {"PgUp",      "Prior",     0xff55, 0x21, false},
    {"PgDown",    "Next",      0xff56, 0x22, false},
    {"Print",     "Print",     0xff61, 0x2c, true},
    {"Pause",     "Pause",     0xff13, 0x13, true},
    {"Menu",      "Menu",      0xff67, 0x5d, false},
}};
// clang-format on

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

const NamedKey* namedKey(std::string_view name) {
    const auto* found =
        std::find_if(kNamedKeys.begin(), kNamedKeys.end(),
                     [&](const NamedKey& key) { return sameLetters(key.name, name); });
    return found != kNamedKeys.end() ? found : nullptr;
}

// 1 to 24 for "F1" to "F24", else 0.
int functionKey(std::string_view name) {
    if (name.size() < 2 || name.size() > 3 || (name[0] != 'F' && name[0] != 'f') ||
        name[1] == '0') {
        return 0;
    }
    int number = 0;
    for (const char digit : name.substr(1)) {
        if (digit < '0' || digit > '9') {
            return 0;
        }
        number = number * 10 + (digit - '0');
    }
    return number <= kFunctionKeys ? number : 0;
}

bool isCharacterKey(std::string_view key) {
    return key.size() == 1 && key[0] > ' ' && key[0] < 0x7f;
}

// "F1" ... "F24". Built by appending: GCC 12 misreads "F" + std::to_string(...)
// in optimised builds as an overlapping copy.
std::string functionKeyName(int pNumber) {
    std::string name = "F";
    name += std::to_string(pNumber);
    return name;
}

// The canonical name of a key, and whether it may stand without Ctrl, Alt or Meta.
std::optional<std::pair<std::string, bool>> canonicalKey(std::string_view name) {
    if (isCharacterKey(name)) {
        return std::pair{std::string(1, static_cast<char>(std::toupper(name[0]))), false};
    }
    if (const int number = functionKey(name)) {
        return std::pair{functionKeyName(number), true};
    }
    if (const NamedKey* key = namedKey(name)) {
        return std::pair{std::string(key->name), key->alone};
    }
    return std::nullopt;
}

// The modifiers held, each named as in pNames (Ctrl, Alt, Shift, Meta) and
// followed by "+".
std::string modifierPrefix(const HotkeySequence& pSequence,
                           const std::array<std::string_view, 4>& pNames) {
    std::string text;
    const std::array<bool, 4> held = {pSequence.ctrl, pSequence.alt, pSequence.shift,
                                      pSequence.meta};
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (held[i]) {
            text.append(pNames[i]).push_back('+');
        }
    }
    return text;
}

} // namespace

std::optional<HotkeySequence> parseHotkey(std::string_view pText) {
    HotkeySequence sequence;
    // A "+" right after a separator, or alone, is the key itself ("Ctrl++").
    for (std::size_t plus = pText.find('+', 1); plus != std::string_view::npos;
         plus = pText.find('+', 1)) {
        const std::string_view modifier = pText.substr(0, plus);
        bool* flag = sameLetters(modifier, "Ctrl")    ? &sequence.ctrl
                     : sameLetters(modifier, "Alt")   ? &sequence.alt
                     : sameLetters(modifier, "Shift") ? &sequence.shift
                     : sameLetters(modifier, "Meta")  ? &sequence.meta
                                                      : nullptr;
        if (flag == nullptr || *flag) {
            return std::nullopt;
        }
        *flag = true;
        pText.remove_prefix(plus + 1);
    }
    const auto key = canonicalKey(pText);
    if (!key || (!key->second && !sequence.ctrl && !sequence.alt && !sequence.meta)) {
        return std::nullopt;
    }
    sequence.key = key->first;
    return sequence;
}

std::string formatHotkey(const HotkeySequence& pSequence) {
    return modifierPrefix(pSequence, {"Ctrl", "Alt", "Shift", "Meta"}) + pSequence.key;
}

std::uint32_t x11Keysym(const HotkeySequence& pSequence) {
    if (isCharacterKey(pSequence.key)) {
        // Latin-1 keysyms are the characters; a letter's key carries its small one.
        return static_cast<unsigned char>(std::tolower(pSequence.key[0]));
    }
    if (const int number = functionKey(pSequence.key)) {
        return kX11F1 + static_cast<std::uint32_t>(number - 1);
    }
    const NamedKey* key = namedKey(pSequence.key);
    return key != nullptr ? key->x11Keysym : 0;
}

std::string portalTrigger(const HotkeySequence& pSequence) {
    std::string key;
    if (isCharacterKey(pSequence.key)) {
        if (std::isalnum(static_cast<unsigned char>(pSequence.key[0])) == 0) {
            return {};
        }
        key = static_cast<char>(std::tolower(pSequence.key[0]));
    } else if (const NamedKey* named = namedKey(pSequence.key)) {
        key = named->x11Name;
    } else {
        key = pSequence.key; // F1...F24
    }
    return modifierPrefix(pSequence, {"CTRL", "ALT", "SHIFT", "LOGO"}) + key;
}

std::uint16_t windowsKey(const HotkeySequence& pSequence) {
    if (isCharacterKey(pSequence.key)) {
        return std::isalnum(static_cast<unsigned char>(pSequence.key[0])) != 0
                   ? static_cast<std::uint16_t>(pSequence.key[0])
                   : 0;
    }
    if (const int number = functionKey(pSequence.key)) {
        return static_cast<std::uint16_t>(kWindowsF1 + number - 1);
    }
    const NamedKey* key = namedKey(pSequence.key);
    return key != nullptr ? key->windowsKey : 0;
}

std::string windowsKeyName(std::uint16_t pKey) {
    if ((pKey >= 'A' && pKey <= 'Z') || (pKey >= '0' && pKey <= '9')) {
        return std::string(1, static_cast<char>(pKey));
    }
    if (pKey >= kWindowsF1 && pKey < kWindowsF1 + kFunctionKeys) {
        return functionKeyName(pKey - kWindowsF1 + 1);
    }
    const auto* found = std::find_if(kNamedKeys.begin(), kNamedKeys.end(),
                                     [&](const NamedKey& key) { return key.windowsKey == pKey; });
    return found != kNamedKeys.end() ? std::string(found->name) : std::string();
}

} // namespace zaptrove::platform
