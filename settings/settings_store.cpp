// SPDX-License-Identifier: MIT
#include "settings/settings_store.h"

#include "settings/registry_values.h"

#include <array>
#include <string_view>

namespace zaptrove {

namespace {

using platform::HKEY_CURRENT_USER;
using platform::REG_DWORD;
using platform::REG_SZ;

struct NumberField {
    std::string_view name;
    std::int16_t Settings::*field;
    std::int16_t fallback;
};

struct TextField {
    std::string_view name;
    std::string Settings::*field;
};

// The stored numbers a later run reads with a fallback, in reading order.
constexpr std::array kSwitchesBeforeLocations = {
    NumberField{"Sort", &Settings::Sort, SORT_SEARCHED},
    NumberField{"Launch", &Settings::Launch, LAUNCH_NOTHING},
    NumberField{"Tray", &Settings::Tray, TRAY_OFF},
    NumberField{"DoMSIE", &Settings::DoMSIE, DO_YES},
    NumberField{"DoMSIEEx", &Settings::DoMSIEEx, DO_NO},
    NumberField{"DoNetscape", &Settings::DoNetscape, DO_NO},
    NumberField{"DoNetscapeEx", &Settings::DoNetscapeEx, DO_NO},
};

// What a save writes, in writing order.
constexpr std::array kSavedNumbers = {
    NumberField{"Function", &Settings::Function, 0},
    NumberField{"Sort", &Settings::Sort, 0},
    NumberField{"Launch", &Settings::Launch, 0},
    NumberField{"Tray", &Settings::Tray, 0},
    NumberField{"Single", &Settings::Single, 0},
    NumberField{"Duplicates", &Settings::Duplicates, 0},
    NumberField{"DoMSIE", &Settings::DoMSIE, 0},
    NumberField{"DoMSIEEx", &Settings::DoMSIEEx, 0},
    NumberField{"DoNetscape", &Settings::DoNetscape, 0},
    NumberField{"DoNetscapeEx", &Settings::DoNetscapeEx, 0},
    NumberField{"DoOpera", &Settings::DoOpera, 0},
    NumberField{"DoOperaEx", &Settings::DoOperaEx, 0},
};
constexpr std::array kSavedTexts = {
    TextField{"MSIEAlt", &Settings::MSIEAlt},
    TextField{"NetscapeMain", &Settings::NetscapeMain},
    TextField{"NetscapeAlt", &Settings::NetscapeAlt},
    TextField{"OperaMain", &Settings::OperaMain},
    TextField{"OperaAlt", &Settings::OperaAlt},
};

// Every value the key can hold, in deleting order.
constexpr std::array<std::string_view, 22> kAllValues = {
    "Present",  "Top",        "Left",         "Width",      "Height",       "Function",
    "Sort",     "Launch",     "Tray",         "Duplicates", "Single",       "DoMSIE",
    "DoMSIEEx", "DoNetscape", "DoNetscapeEx", "MSIEAlt",    "NetscapeMain", "NetscapeAlt",
    "DoOpera",  "DoOperaEx",  "OperaMain",    "OperaAlt"};

void readWithFallback(platform::Registry& registry, platform::KeyHandle key, Settings& settings,
                      const NumberField& field) {
    settings.*field.field = field.fallback;
    fnReadValue(registry, key, field.name, settings.*field.field);
}

void readText(platform::Registry& registry, platform::KeyHandle key, Settings& settings,
              std::string_view name, std::string Settings::*field) {
    settings.*field = std::string();
    fnReadValue(registry, key, name, settings.*field);
}

// Reads one window coordinate and hands it to the window when it is stored.
template <typename Apply>
void readGeometry(platform::Registry& registry, platform::KeyHandle key, std::string_view name,
                  Apply apply) {
    std::int32_t twips = 0;
    if (fnReadValue(registry, key, name, twips) == 0) {
        apply(static_cast<float>(twips));
    }
}

void readLaterRun(platform::Registry& registry, platform::KeyHandle key, Settings& s,
                  SettingsWindow& window) {
    readGeometry(registry, key, "Top", [&](float t) { window.setWindowTop(t); });
    readGeometry(registry, key, "Left", [&](float t) { window.setWindowLeft(t); });
    fnReadValue(registry, key, "Height", s.Height);
    readGeometry(registry, key, "Width", [&](float t) { window.setWindowWidth(t); });
    fnReadValue(registry, key, "Function", s.Function);

    for (const NumberField& field : kSwitchesBeforeLocations) {
        readWithFallback(registry, key, s, field);
    }
    std::int16_t storedDoNetscape = 0;
    if (fnReadValue(registry, key, "DoNetscape", storedDoNetscape) != 0 &&
        s.NetscapeMain != NOT_FOUND) {
        s.DoNetscape = DO_YES;
    }
    readText(registry, key, s, "MSIEAlt", &Settings::MSIEAlt);
    std::string storedNetscape;
    if (fnReadValue(registry, key, "NetscapeMain", storedNetscape) == 0 &&
        !storedNetscape.empty() && storedNetscape != NOT_FOUND) {
        s.NetscapeMain = storedNetscape;
    }
    readText(registry, key, s, "NetscapeAlt", &Settings::NetscapeAlt);
    readWithFallback(registry, key, s, {"DoOpera", &Settings::DoOpera, DO_NO});
    readWithFallback(registry, key, s, {"DoOperaEx", &Settings::DoOperaEx, DO_NO});
    readText(registry, key, s, "OperaMain", &Settings::OperaMain);
    readText(registry, key, s, "OperaAlt", &Settings::OperaAlt);
    readWithFallback(registry, key, s, {"Duplicates", &Settings::Duplicates, DUPS_KEEP});
    readWithFallback(registry, key, s, {"Single", &Settings::Single, CLICK_DOUBLE});
}

// The first run's values in memory. The Netscape switches are on here although
// the registry receives them off; the exit then stores what memory holds.
void applyFirstRunValues(Settings& s) {
    s.Launch = LAUNCH_NOTHING;
    s.Tray = TRAY_OFF;
    s.Function = FUNC_NAME;
    s.Sort = SORT_SEARCHED;
    s.Duplicates = DUPS_KEEP;
    s.Single = CLICK_DOUBLE;
    s.DoMSIE = DO_YES;
    s.DoMSIEEx = DO_NO;
    s.DoNetscape = DO_YES;
    s.DoNetscapeEx = DO_YES;
    s.MSIEAlt.clear();
    s.NetscapeAlt.clear();
    s.DoOpera = DO_NO;
    s.DoOperaEx = DO_NO;
    s.OperaMain.clear();
    s.OperaAlt.clear();
}

void writeFirstRunValues(platform::Registry& registry, const SettingsWindow& window) {
    const platform::RegistryUpdate update(registry);
    subCreateKey(registry, HKEY_CURRENT_USER, SettingsKey);
    const auto set = [&](std::string_view name, double number) {
        subSetValue(registry, HKEY_CURRENT_USER, SettingsKey, name, number, REG_DWORD);
    };
    const auto setText = [&](std::string_view name, const std::string& text) {
        subSetValue(registry, HKEY_CURRENT_USER, SettingsKey, name, text, REG_SZ);
    };
    set("Present", 1.0);
    set("Top", window.windowTop());
    set("Left", window.windowLeft());
    set("Height", window.windowHeight());
    set("Width", window.windowWidth());
    set("Function", FUNC_NAME);
    set("Sort", SORT_SEARCHED);
    set("Launch", LAUNCH_NOTHING);
    set("Tray", TRAY_OFF);
    set("DoMSIE", DO_YES);
    set("DoMSIEEx", DO_NO);
    set("DoNetscape", DO_NO);
    set("DoNetscapeEx", DO_NO);
    setText("MSIEAlt", {});
    setText("NetscapeMain", {});
    setText("NetscapeAlt", {});
    set("DoOpera", DO_NO);
    set("DoOperaEx", DO_NO);
    setText("OperaMain", {});
    setText("OperaAlt", {});
}

} // namespace

bool fnReadStoredSettings(platform::Registry& pRegistry, Settings& pSettings,
                          SettingsWindow& pWindow) {
    platform::KeyHandle key = pRegistry.openKey(HKEY_CURRENT_USER, SettingsKey);
    std::int32_t present = 0;
    const bool stored = fnReadValue(pRegistry, key, "Present", present) == 0;
    if (stored) {
        readLaterRun(pRegistry, key, pSettings, pWindow);
    } else {
        applyFirstRunValues(pSettings);
    }
    pRegistry.closeKey(key);
    return stored;
}

void subLoadSettings(platform::Registry& pRegistry, Settings& pSettings, SettingsWindow& pWindow) {
    if (!fnReadStoredSettings(pRegistry, pSettings, pWindow)) {
        writeFirstRunValues(pRegistry, pWindow);
    }
}

void subSaveSettings(platform::Registry& pRegistry, const Settings& pSettings,
                     const SettingsWindow& pWindow) {
    if (pSettings.Function == FUNC_RESET) {
        return;
    }
    const platform::RegistryUpdate update(pRegistry);
    const auto set = [&](std::string_view name, double number) {
        subSetValue(pRegistry, HKEY_CURRENT_USER, SettingsKey, name, number, REG_DWORD);
    };
    const auto setText = [&](std::string_view name, const std::string& text) {
        subSetValue(pRegistry, HKEY_CURRENT_USER, SettingsKey, name, text, REG_SZ);
    };
    for (const NumberField& field : kSavedNumbers) {
        set(field.name, pSettings.*field.field);
    }
    for (const TextField& field : kSavedTexts) {
        setText(field.name, pSettings.*field.field);
    }
    if (!pWindow.isMinimized()) {
        set("Top", pWindow.windowTop());
        set("Left", pWindow.windowLeft());
        set("Height", pSettings.Height);
        set("Width", pWindow.windowWidth());
    }
}

void subDeleteSettings(platform::Registry& pRegistry) {
    const platform::RegistryUpdate update(pRegistry);
    const platform::KeyHandle key = pRegistry.openKey(HKEY_CURRENT_USER, SettingsKey);
    for (const std::string_view name : kAllValues) {
        pRegistry.deleteValue(key, name);
    }
    pRegistry.closeKey(key);
    pRegistry.deleteKey(HKEY_CURRENT_USER, SettingsKey);
}

} // namespace zaptrove
