// SPDX-License-Identifier: MIT
#include "settings/settings_store.h"

#include "settings/registry_values.h"
#include "settings/stored_values.h"

#include <optional>
#include <type_traits>
#include <variant>

namespace zaptrove {

namespace {

using platform::RegistryRoot;

template <typename... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
// Spelled out for compilers without deduction for aggregates (clang 14).
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

void write(platform::Registry& registry, std::string_view name, const RegistryData& data) {
    const std::uint32_t type = std::holds_alternative<std::string>(data)
                                   ? platform::RegistryType::String
                                   : platform::RegistryType::Dword;
    subSetValue(registry, RegistryRoot::CurrentUser, SettingsKey, name, data, type);
}

// Puts a fallback or first-run value where the setting is held.
template <typename Held> void hold(const StoredDefault& value, Held& held, const Settings& s) {
    std::visit(Overloaded{
                   [&](std::int16_t number) {
                       if constexpr (std::is_same_v<Held, std::int16_t>) {
                           held = number;
                       }
                   },
                   [&](std::string_view text) {
                       if constexpr (std::is_same_v<Held, std::string>) {
                           held = text;
                       }
                   },
                   [&](YesWhenFound found) {
                       if constexpr (std::is_same_v<Held, std::int16_t>) {
                           held = s.*found.location != NOT_FOUND ? DO_YES : DO_NO;
                       }
                   },
                   [](const auto&) {},
               },
               value);
}

void holdMissing(const StoredValue& value, const StoredDefault& missing, Settings& s) {
    if (const auto* number = std::get_if<std::int16_t Settings::*>(&value.holder)) {
        hold(missing, s.**number, s);
    } else if (const auto* text = std::get_if<std::string Settings::*>(&value.holder)) {
        hold(missing, s.**text, s);
    }
}

// What a later start reads from the value a first run writes: a number as
// written; a text unless the fallback keeps what start-up found over it.
const StoredDefault& readBackFromFirstRun(const StoredValue& value) {
    const bool readBack = std::holds_alternative<std::int16_t>(value.firstRun) ||
                          (std::holds_alternative<std::string_view>(value.firstRun) &&
                           !std::holds_alternative<KeepFoundLocation>(value.fallback));
    return readBack ? value.firstRun : value.fallback;
}

bool isUsable(const StoredValue& value, const std::string& stored) {
    return !std::holds_alternative<KeepFoundLocation>(value.fallback) ||
           (!stored.empty() && stored != NOT_FOUND);
}

// Reads one value into its holder; a missing or unusable one takes the fallback.
void read(platform::Registry& registry, platform::KeyHandle key, const StoredValue& value,
          Settings& s, SettingsWindow& window) {
    const bool stored = std::visit(
        Overloaded{
            [](PresenceMarker) { return true; },
            [&](std::int16_t Settings::*field) {
                return fnReadValue(registry, key, value.name, s.*field) == 0;
            },
            [&](std::string Settings::*field) {
                std::string text;
                if (fnReadValue(registry, key, value.name, text) != 0 || !isUsable(value, text)) {
                    return false;
                }
                s.*field = std::move(text);
                return true;
            },
            [&](WindowCoordinate coordinate) {
                std::int32_t twips = 0;
                if (fnReadValue(registry, key, value.name, twips) != 0) {
                    return false;
                }
                (window.*coordinate.restore)(static_cast<float>(twips));
                return true;
            },
        },
        value.holder);
    if (!stored) {
        holdMissing(value, value.fallback, s);
    }
}

// What a save writes for a value: what memory or the window holds.
RegistryData savedData(const StoredValue& value, const Settings& s, const SettingsWindow& window) {
    return std::visit(Overloaded{
                          [](PresenceMarker) { return RegistryData(1.0); },
                          [&](std::int16_t Settings::*field) {
                              return RegistryData(static_cast<double>(s.*field));
                          },
                          [&](std::string Settings::*field) { return RegistryData(s.*field); },
                          [&](WindowCoordinate coordinate) {
                              return RegistryData((window.*coordinate.current)());
                          },
                      },
                      value.holder);
}

// What a first run writes for a value; nothing for Unchanged.
std::optional<RegistryData> firstRunData(const StoredValue& value, const SettingsWindow& window) {
    return std::visit(Overloaded{
                          [](std::int16_t number) -> std::optional<RegistryData> {
                              return RegistryData(static_cast<double>(number));
                          },
                          [](std::string_view text) -> std::optional<RegistryData> {
                              return RegistryData(std::string(text));
                          },
                          [&](FromWindow from) -> std::optional<RegistryData> {
                              return RegistryData((window.*from.coordinate)());
                          },
                          [](const auto&) -> std::optional<RegistryData> { return std::nullopt; },
                      },
                      value.firstRun);
}

void writeFirstRunValues(platform::Registry& registry, const SettingsWindow& window) {
    const platform::RegistryUpdate update(registry);
    subCreateKey(registry, RegistryRoot::CurrentUser, SettingsKey);
    for (const StoredValue& value : kStoredValues) {
        if (const auto data = firstRunData(value, window)) {
            write(registry, value.name, *data);
        }
    }
}

// True when a switch holds its "on" value, or a text is not empty.
bool isOn(const StoredValue& value, const Settings& s) {
    if (const auto* text = std::get_if<std::string Settings::*>(&value.holder)) {
        return !(s.**text).empty();
    }
    const auto* field = std::get_if<std::int16_t Settings::*>(&value.holder);
    return field != nullptr && s.**field == value.on;
}

bool holdsText(const StoredValue& value) {
    return std::holds_alternative<std::string Settings::*>(value.holder);
}

} // namespace

bool fnReadStoredSettings(platform::Registry& pRegistry, Settings& pSettings,
                          SettingsWindow& pWindow, WithoutStore pWithout) {
    platform::KeyHandle key = pRegistry.openKey(RegistryRoot::CurrentUser, SettingsKey);
    std::int32_t present = 0;
    const bool stored = fnReadValue(pRegistry, key, kPresentValue, present) == 0;
    for (const StoredValue& value : kStoredValues) {
        if (stored) {
            read(pRegistry, key, value, pSettings, pWindow);
        } else if (pWithout == WithoutStore::FirstSession) {
            holdMissing(value, value.firstRunHolds.value_or(value.fallback), pSettings);
        } else {
            holdMissing(value, readBackFromFirstRun(value), pSettings);
        }
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
    const auto saveWhere = [&](SavedWhen when, auto&& wanted) {
        for (const StoredValue& value : kStoredValues) {
            if (value.saved == when && wanted(value)) {
                write(pRegistry, value.name, savedData(value, pSettings, pWindow));
            }
        }
    };
    saveWhere(SavedWhen::Always, [](const StoredValue& value) { return !holdsText(value); });
    saveWhere(SavedWhen::Always, holdsText);
    saveWhere(SavedWhen::WhileOn, [&](const StoredValue& value) { return isOn(value, pSettings); });
    const platform::KeyHandle key =
        pRegistry.openKey(platform::RegistryRoot::CurrentUser, SettingsKey);
    for (const StoredValue& value : kStoredValues) {
        if (value.saved == SavedWhen::WhileOn && !isOn(value, pSettings)) {
            pRegistry.deleteValue(key, value.name);
        }
    }
    pRegistry.closeKey(key);
    if (!pWindow.isMinimized()) {
        saveWhere(SavedWhen::NotMinimized, [](const StoredValue&) { return true; });
    }
}

void subDeleteSettings(platform::Registry& pRegistry) {
    const platform::RegistryUpdate update(pRegistry);
    const platform::KeyHandle key = pRegistry.openKey(RegistryRoot::CurrentUser, SettingsKey);
    for (const StoredValue& value : kStoredValues) {
        pRegistry.deleteValue(key, value.name);
    }
    pRegistry.closeKey(key);
    pRegistry.deleteKey(RegistryRoot::CurrentUser, SettingsKey);
}

} // namespace zaptrove
