// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings.h"
#include "settings/settings_window.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

// Every value stored under SettingsKey, one row each: where it is held while the
// program runs, what a later run holds when it is missing, what a first run
// writes, and when a save writes it. settings_store.cpp only interprets this table.
namespace zaptrove {

// The value only tells a later run from the first; nothing holds it.
struct PresenceMarker {};
// A coordinate of the main window, in twips, read from and handed back to it.
struct WindowCoordinate {
    float (SettingsWindow::*current)() const;
    void (SettingsWindow::*restore)(float);
};
using ValueHolder = std::variant<PresenceMarker, std::int16_t Settings::*, std::string Settings::*,
                                 WindowCoordinate>;

// Held or written as it was: nothing changes in memory, nothing is written.
struct Unchanged {};
// A location found on this machine stays unless a usable one (neither empty nor
// NOT_FOUND) is stored.
struct KeepFoundLocation {};
// DO_YES when the location was found on this machine, else DO_NO.
struct YesWhenFound {
    std::string Settings::*location;
};
// The window's own coordinate, as it stands.
struct FromWindow {
    float (SettingsWindow::*coordinate)() const;
};
using StoredDefault = std::variant<Unchanged, std::int16_t, std::string_view, KeepFoundLocation,
                                   YesWhenFound, FromWindow>;

enum class SavedWhen {
    Never,
    Always,       // numbers first, then texts, each in table order
    NotMinimized, // the window's geometry, after everything else
    // Switches added later: written while on, removed while off, so stores
    // that never used them keep only the older values. A text is on while not empty.
    WhileOn,
};

struct StoredValue {
    std::string_view name;
    ValueHolder holder;     // numbers are stored as REG_DWORD, texts as REG_SZ
    StoredDefault fallback; // what a later run holds when the value is missing or unusable
    StoredDefault firstRun; // what a first run writes
    std::optional<StoredDefault> firstRunHolds; // when a first run holds other than the fallback
    SavedWhen saved;
    std::int16_t on = 0; // what a WhileOn switch holds when on
};

inline constexpr std::string_view kPresentValue = "Present";

inline constexpr WindowCoordinate kTop{&SettingsWindow::windowTop, &SettingsWindow::setWindowTop};
inline constexpr WindowCoordinate kLeft{&SettingsWindow::windowLeft,
                                        &SettingsWindow::setWindowLeft};
inline constexpr WindowCoordinate kWidth{&SettingsWindow::windowWidth,
                                         &SettingsWindow::setWindowWidth};
inline constexpr Unchanged kUnchanged;
inline constexpr std::string_view kEmpty;

// In first-run writing order, which is also the reading and deleting order.
// Values added later go at the end: older stores lack them and take the fallback.
// clang-format off
inline constexpr StoredValue kStoredValues[] = {
    // name          held in                  later run if missing   first run writes                first run holds  saved
    {kPresentValue,  PresenceMarker{},        kUnchanged,            std::int16_t{1},                {},              SavedWhen::Never},
    {"Top",          kTop,                    kUnchanged,            FromWindow{kTop.current},       {},              SavedWhen::NotMinimized},
    {"Left",         kLeft,                   kUnchanged,            FromWindow{kLeft.current},      {},              SavedWhen::NotMinimized},
    {"Height",       &Settings::Height,       kUnchanged,            FromWindow{&SettingsWindow::windowHeight}, {},   SavedWhen::NotMinimized},
    {"Width",        kWidth,                  kUnchanged,            FromWindow{kWidth.current},     {},              SavedWhen::NotMinimized},
    {"Function",     &Settings::Function,     FUNC_NAME,             FUNC_NAME,                      {},              SavedWhen::Always},
    {"Sort",         &Settings::Sort,         SORT_SEARCHED,         SORT_SEARCHED,                  {},              SavedWhen::Always},
    {"Launch",       &Settings::Launch,       LAUNCH_NOTHING,        LAUNCH_NOTHING,                 {},              SavedWhen::Always},
    {"Tray",         &Settings::Tray,         TRAY_OFF,              TRAY_OFF,                       {},              SavedWhen::Always},
    {"Single",       &Settings::Single,       CLICK_DOUBLE,          kUnchanged,                     {},              SavedWhen::Always},
    {"Duplicates",   &Settings::Duplicates,   DUPS_KEEP,             kUnchanged,                     {},              SavedWhen::Always},
    {"DoMSIE",       &Settings::DoMSIE,       DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoMSIEEx",     &Settings::DoMSIEEx,     DO_NO,                 DO_NO,                          {},              SavedWhen::Always},
    // A first run stores the Netscape switches off but holds them on, so its exit stores them on.
    {"DoNetscape",   &Settings::DoNetscape,   YesWhenFound{&Settings::NetscapeMain}, DO_NO,          DO_YES,          SavedWhen::Always},
    {"DoNetscapeEx", &Settings::DoNetscapeEx, DO_NO,                 DO_NO,                          DO_YES,          SavedWhen::Always},
    {"MSIEAlt",      &Settings::MSIEAlt,      kEmpty,                kEmpty,                         {},              SavedWhen::Always},
    {"NetscapeMain", &Settings::NetscapeMain, KeepFoundLocation{},   kEmpty,                         {},              SavedWhen::Always},
    {"NetscapeAlt",  &Settings::NetscapeAlt,  kEmpty,                kEmpty,                         {},              SavedWhen::Always},
    {"DoOpera",      &Settings::DoOpera,      DO_NO,                 DO_NO,                          {},              SavedWhen::Always},
    {"DoOperaEx",    &Settings::DoOperaEx,    DO_NO,                 DO_NO,                          {},              SavedWhen::Always},
    {"OperaMain",    &Settings::OperaMain,    kEmpty,                kEmpty,                         {},              SavedWhen::Always},
    {"OperaAlt",     &Settings::OperaAlt,     kEmpty,                kEmpty,                         {},              SavedWhen::Always},
    {"Words",        &Settings::Words,        WORDS_TOGETHER,        kUnchanged,                     {},              SavedWhen::WhileOn, WORDS_ANY_ORDER},
    {"Accents",      &Settings::Accents,      ACCENTS_MATCH,         kUnchanged,                     {},              SavedWhen::WhileOn, ACCENTS_IGNORE},
    {"Instant",      &Settings::Instant,      INSTANT_OFF,           kUnchanged,                     {},              SavedWhen::WhileOn, INSTANT_ON},
    // The browsers, every one on unless stored off, so that a store from before
    // them and a browser installed later are read too; then the hand-added ones.
    {"DoFirefox",    &Settings::DoFirefox,    DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoChrome",     &Settings::DoChrome,     DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoChromium",   &Settings::DoChromium,   DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoEdge",       &Settings::DoEdge,       DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoBrave",      &Settings::DoBrave,      DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoVivaldi",    &Settings::DoVivaldi,    DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoOperaBlink", &Settings::DoOperaBlink, DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"DoFirefoxEx",  &Settings::DoFirefoxEx,  DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"FirefoxAlt",   &Settings::FirefoxAlt,   kEmpty,                kEmpty,                         {},              SavedWhen::Always},
    {"DoChromiumEx", &Settings::DoChromiumEx, DO_YES,                DO_YES,                         {},              SavedWhen::Always},
    {"ChromiumAlt",  &Settings::ChromiumAlt,  kEmpty,                kEmpty,                         {},              SavedWhen::Always},
    {"HotKey",       &Settings::HotKey,       kEmpty,                kUnchanged,                     {},              SavedWhen::WhileOn},
    {"TrayMenu",     &Settings::TrayMenu,     TRAY_MENU_OFF,         kUnchanged,                     {},              SavedWhen::WhileOn, TRAY_MENU_ON},
    // On unless stored off: only the desktop's default opening is written.
    {"DoOwnBrowser", &Settings::DoOwnBrowser, DO_YES,                kUnchanged,                     {},              SavedWhen::WhileOn, DO_NO},
    {"HoverTip",     &Settings::HoverTip,     HOVER_TIP_OFF,         kUnchanged,                     {},              SavedWhen::WhileOn, HOVER_TIP_ON},
    {"ShowWhere",    &Settings::ShowWhere,    SHOW_WHERE_OFF,        kUnchanged,                     {},              SavedWhen::WhileOn, SHOW_WHERE_ON},
    {"MergeCopies",  &Settings::MergeCopies,  MERGE_COPIES_OFF,      kUnchanged,                     {},              SavedWhen::WhileOn, MERGE_COPIES_ON},
    {"FolderWords",  &Settings::FolderWords,  FOLDER_WORDS_OFF,      kUnchanged,                     {},              SavedWhen::WhileOn, FOLDER_WORDS_ON},
    {"LeaveOut",     &Settings::LeaveOut,     kEmpty,                kUnchanged,                     {},              SavedWhen::WhileOn},
    {"ProfilesOff",  &Settings::ProfilesOff,  kEmpty,                kUnchanged,                     {},              SavedWhen::WhileOn},
    {"RankByUse",    &Settings::RankByUse,    RANK_USE_OFF,          kUnchanged,                     {},              SavedWhen::WhileOn, RANK_USE_ON},
};
// clang-format on

} // namespace zaptrove
