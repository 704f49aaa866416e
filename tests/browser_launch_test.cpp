// SPDX-License-Identifier: MIT
#include "debug_log/debug_log.h"
#include "launch/browser_command.h"
#include "launch/browser_program.h"
#include "launch/desktop_entry.h"
#include "launch/open_bookmark.h"
#include "platform/program_start.h"
#include "platform/shell.h"
#include "platform/windows_command_line.h"
#include "settings/registry_values.h"
#include "support/fake_browsers.h"
#include "support/fake_clock.h"
#include "support/recording_openers.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"

#include <gtest/gtest.h>

#include <cstdio>

using zaptrove::Bookmark;
using zaptrove::Browser;
using zaptrove::BrowserProfile;
using zaptrove::ProgramPlaces;
using zaptrove::test::readFile;
using zaptrove::test::TempFolder;
using Arguments = std::vector<std::string>;

namespace {

BrowserProfile profileOf(Browser browser, std::string install, std::string folder) {
    BrowserProfile profile;
    profile.browser = browser, profile.install = std::move(install), profile.name = "Work";
    profile.folder = std::move(folder);
    return profile;
}

} // namespace

TEST(DesktopEntry, SplitsExecByItsQuotingAndDropsFieldCodes) {
    using zaptrove::fnDesktopEntryCommand;
    EXPECT_EQ(fnDesktopEntryCommand("[Desktop Entry]\nName=Firefox\nExec=firefox %u\n"),
              Arguments{"firefox"});
    // The string escape comes first ("\\\\" is one backslash for the quoting),
    // then the quotes, inside which a backslash keeps the next character.
    EXPECT_EQ(
        fnDesktopEntryCommand(
            "[Desktop Entry]\r\nExec = \"/opt/My Browser/run\" --x=\"a\\\\\"b\" 100%% %U\r\n"),
        (Arguments{"/opt/My Browser/run", "--x=a\"b", "100%"}));
    EXPECT_EQ(fnDesktopEntryCommand("[Desktop Entry]\nExec=/usr/bin/flatpak run --branch=stable "
                                    "--file-forwarding org.chromium.Chromium @@u %U @@\n"),
              (Arguments{"/usr/bin/flatpak", "run", "--branch=stable", "--file-forwarding",
                         "org.chromium.Chromium"}));
    // Only the main group's Exec counts, and a hidden entry has none.
    EXPECT_EQ(fnDesktopEntryCommand("[Desktop Action new-window]\nExec=firefox --new-window\n"
                                    "[Desktop Entry]\nExec=firefox-esr %u\n"),
              Arguments{"firefox-esr"});
    EXPECT_TRUE(fnDesktopEntryCommand("[Desktop Entry]\nExec=firefox %u\nHidden=true\n").empty());
    EXPECT_TRUE(fnDesktopEntryCommand("[Desktop Entry]\nName=No command\n").empty());
}

TEST(WindowsCommandLine, QuotesWhatTheRuntimeWouldSplitOrUnescape) {
    using zaptrove::platform::fnWindowsCommandLine;
    EXPECT_EQ(fnWindowsCommandLine({"C:\\Program Files\\B\\b.exe", "--profile-directory=Profile 1",
                                    "--incognito", "https://a.example/?x=1&y=2;z"}),
              "\"C:\\Program Files\\B\\b.exe\" \"--profile-directory=Profile 1\" --incognito "
              "https://a.example/?x=1&y=2;z");
    EXPECT_EQ(fnWindowsCommandLine({"b", "say \"hi\"", "", "C:\\dir\\", "a\\\\\"b", "tab\there"}),
              "\"b\" \"say \\\"hi\\\"\" \"\" C:\\dir\\ \"a\\\\\\\\\\\"b\" \"tab\there\"");
    // Inside quotes a folder's final backslash is doubled, so as not to escape the closing quote.
    EXPECT_EQ(fnWindowsCommandLine({"b", "--user-data-dir=C:\\My Data\\"}),
              "\"b\" \"--user-data-dir=C:\\My Data\\\\\"");
}

// On Windows through the command line and the C runtime's splitting of it.
TEST(ProgramStart, HandsEveryArgumentOverAsItIs) {
    TempFolder t;
    const zaptrove::test::FakeBrowsers fakes(t);
    const Arguments command = {fakes.program("bin/recorder"),
                               "https://a.example/?q=\"x y\"&r='z';ls $(id) `id`",
                               "",
                               "C:\\My Data\\",
                               "a\\\\\"b",
                               "--profile-directory=Profile 1",
                               "Grüße 漢"};
    ASSERT_TRUE(zaptrove::platform::systemProgramStarter().startProgram(command));
    std::string expected; // the recorder's path, then each argument
    for (const std::string& argument : command)
        expected += argument + "\n";
    EXPECT_EQ(fakes.started(), expected + "end\n");
    EXPECT_FALSE(zaptrove::platform::systemProgramStarter().startProgram({t / "no such program"}));
}

TEST(BrowserProgram, FindsTheRegisteredProgramOnWindows) {
    namespace platform = zaptrove::platform;
    zaptrove::test::TestRegistry registry;
    const std::string appPath =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msedge.exe";
    const std::string client =
        "SOFTWARE\\Clients\\StartMenuInternet\\Google Chrome\\shell\\open\\command";
    const auto set = [&](const std::string& path, const std::string& value) {
        zaptrove::subCreateKey(*registry, platform::RegistryRoot::CurrentUser, path);
        zaptrove::subSetValue(*registry, platform::RegistryRoot::CurrentUser, path, "", value,
                              platform::RegistryType::String);
    };
    set(appPath, "C:\\Edge\\msedge.exe");
    set(client, "\"C:\\Program Files\\Chrome\\chrome.exe\" --single-argument %1");
    ProgramPlaces places;
    places.layout = zaptrove::UserFolders::Layout::Windows, places.registry = &*registry;

    const auto find = [&](Browser browser, const char* install) {
        return fnFindBrowserProgram(profileOf(browser, install, "P"), places);
    };
    const auto edge = find(Browser::Edge, "Edge");
    EXPECT_EQ(edge.command, Arguments{"C:\\Edge\\msedge.exe"});
    EXPECT_TRUE(edge.ownInstall);
    const auto chrome = find(Browser::Chrome, "Chrome Beta");
    EXPECT_EQ(chrome.command, Arguments{"C:\\Program Files\\Chrome\\chrome.exe"});
    EXPECT_FALSE(chrome.ownInstall) << "a Beta profile needs its user-data folder named";
    // Chromium has no App Paths name: the key above the names is no program.
    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    set(appPaths, "C:\\stray.exe");
    for (const Browser browser : {Browser::Vivaldi, Browser::Chromium})
        EXPECT_TRUE(find(browser, "B").command.empty());
}

TEST(BrowserArguments, PrivateWindowTakesTheBrowsersOwnSwitch) {
    const std::pair<Browser, const char*> switches[] = {
        {Browser::Firefox, "--private-window"}, {Browser::Chrome, "--incognito"},
        {Browser::Chromium, "--incognito"},     {Browser::Edge, "--inprivate"},
        {Browser::Brave, "--incognito"},        {Browser::Vivaldi, "--incognito"},
        {Browser::Opera, "--private"}};
    for (const auto& [browser, privateSwitch] : switches) {
        const Arguments arguments = zaptrove::fnBrowserArguments(
            profileOf(browser, "B", "no such folder"), true, true, "https://a/");
        EXPECT_EQ(Arguments(arguments.end() - 2, arguments.end()),
                  (Arguments{privateSwitch, "https://a/"}));
    }
}

#ifndef _WIN32

namespace {

// An address a command interpreter would take apart in every way it could.
const std::string kAwkwardAddress = "https://example.org/a b?q=\"x\"&r='y';ls $(id) `id` \\ Grüße";

// Fake programs and desktop entries in a temporary folder, and the places they are found by.
struct FakeDesktop {
    TempFolder t;
    zaptrove::test::FakeBrowsers fakes{t};
    ProgramPlaces places = zaptrove::fnCurrentProgramPlaces(nullptr);

    FakeDesktop() {
        places.snapFolder = t / "snap";
        places.flatpakFolders = {t / "flatpak"};
    }
    zaptrove::BrowserProgram find(Browser browser, const char* install) const {
        return fnFindBrowserProgram(profileOf(browser, install, "P"), places);
    }
};

Bookmark bookmarkOf(const BrowserProfile& profile, std::string address) {
    Bookmark bookmark;
    bookmark.Name = "Page", bookmark.URL = std::move(address);
    bookmark.Source = zaptrove::SourceName(profile);
    return bookmark;
}

} // namespace

TEST(BrowserProgram, TakesTheProfilesOwnInstallationFirstThenAnotherOfItsBrowser) {
    FakeDesktop d;
    const std::string chrome = d.fakes.program("bin/google-chrome-stable");
    const std::string beta = d.fakes.program("opt/beta/chrome");
    d.fakes.entry("google-chrome-beta.desktop", "\"" + beta + "\" --class=beta %U");

    const auto own = d.find(Browser::Chrome, "Chrome Beta");
    EXPECT_EQ(own.command, (Arguments{beta, "--class=beta"}));
    EXPECT_TRUE(own.ownInstall);
    const auto other = d.find(Browser::Chrome, "Chrome Dev");
    EXPECT_EQ(other.command, Arguments{chrome});
    EXPECT_FALSE(other.ownInstall);

    // An entry in the user's data folder hides the system's.
    d.t.write("data-home/applications/google-chrome-beta.desktop",
              "[Desktop Entry]\nExec=x\nHidden=true\n");
    EXPECT_EQ(d.find(Browser::Chrome, "Chrome Beta").command, Arguments{chrome});

    // Snap and Flatpak apps run through "snap run" or "flatpak run"; an unrunnable file is none.
    const std::string snap = d.fakes.program("bin/snap");
    d.t.makeFolder("snap/chromium");
    EXPECT_EQ(d.find(Browser::Chromium, "Chromium (snap)").command,
              (Arguments{snap, "run", "chromium"}));
    const std::string flatpak = d.fakes.program("bin/flatpak");
    d.t.makeFolder("flatpak/app/com.brave.Browser");
    EXPECT_EQ(d.find(Browser::Brave, "Brave (Flatpak)").command,
              (Arguments{flatpak, "run", "com.brave.Browser"}));
    std::remove(flatpak.c_str());
    d.t.write("bin/brave-browser", "#!/bin/sh\n");
    EXPECT_TRUE(d.find(Browser::Brave, "Brave").command.empty());
}

TEST(OpenBookmark, StartsTheBrowserOfTheProfileWithTheAddressAsOneArgument) {
    FakeDesktop d;
    const std::string chromium = d.fakes.program("bin/chromium");
    const std::string firefox = d.fakes.program("usr/lib/firefox/firefox");
    d.fakes.entry("firefox.desktop", firefox + " %u");
    const std::string userData = d.t.makeFolder("config/chromium");
    d.t.write("config/chromium/Local State", "{}");
    const std::string folder = d.t.makeFolder("config/chromium/Profile 1");
    zaptrove::test::RecordingOpeners shell;
    const zaptrove::Openers openers{shell, zaptrove::platform::systemProgramStarter(), d.places};
    // What the profile's browser was started with.
    const auto started = [&](Browser browser, const char* install, const std::string& profile,
                             const std::string& address, bool privately) {
        EXPECT_TRUE(fnOpenBookmark(bookmarkOf(profileOf(browser, install, profile), address), true,
                                   privately, openers, zaptrove::DebugLog::silent()));
        return d.fakes.started();
    };

    EXPECT_EQ(started(Browser::Chromium, "Chromium", folder, kAwkwardAddress, false),
              chromium + "\n--profile-directory=Profile 1\n" + kAwkwardAddress + "\nend\n");
    // Another installation's profile names its user-data folder; private.
    EXPECT_EQ(started(Browser::Chromium, "Chromium (Flatpak)", folder, "https://a.example/", true),
              chromium + "\n--user-data-dir=" + userData +
                  "\n--profile-directory=Profile 1\n--incognito\nhttps://a.example/\nend\n");
    // A folder holding "Local State" is a user-data folder with one profile.
    EXPECT_EQ(started(Browser::Chromium, "Chromium, added by hand", userData, "https://b.example/",
                      false),
              chromium + "\n--user-data-dir=" + userData + "\nhttps://b.example/\nend\n");
    const std::string firefoxProfile = d.t.makeFolder("mozilla/ab12.my profile");
    for (const bool privately : {false, true})
        EXPECT_EQ(started(Browser::Firefox, "Firefox", firefoxProfile, kAwkwardAddress, privately),
                  firefox + "\n--profile\n" + firefoxProfile + "\n" +
                      (privately ? "--private-window\n" : "--new-tab\n") + kAwkwardAddress +
                      "\nend\n");
    EXPECT_TRUE(shell.opened.empty());
}

TEST(OpenBookmark, FallsBackToTheDesktopsDefaultAndLogsWhy) {
    FakeDesktop d;
    zaptrove::test::RecordingOpeners recorded;
    const zaptrove::Openers openers{recorded, recorded, d.places};
    const std::int16_t debugOn = zaptrove::DEBUG_ON;
    const zaptrove::test::FakeClock clock;
    const std::string logPath = d.t / "ztvdebug.log";
    const zaptrove::DebugLog log(debugOn, clock, logPath);
    const BrowserProfile vivaldi = profileOf(Browser::Vivaldi, "Vivaldi", d.t / "v/Default");
    const auto open = [&](const std::string& address, bool ownBrowser, bool privately) {
        return fnOpenBookmark(bookmarkOf(vivaldi, address), ownBrowser, privately, openers, log);
    };
    const auto logged = [&](const std::string& line) {
        return readFile(logPath).find(line) != std::string::npos;
    };

    // No program: the desktop opens it, private or not.
    EXPECT_TRUE(open("https://v.example/", true, true));
    EXPECT_TRUE(logged("No program found for Vivaldi, profile Work: opening with the desktop's "
                       "default"));
    // A program that does not start.
    d.fakes.program("bin/vivaldi");
    recorded.starts = false;
    EXPECT_TRUE(open("https://w.example/", true, false));
    EXPECT_TRUE(logged("Could not start " + (d.t / "bin/vivaldi")));
    // Switched off, or a bookmark of the six locations: the desktop, untouched.
    recorded.starts = true;
    EXPECT_TRUE(open("https://x.example/", false, true));
    Bookmark file;
    file.URL = "https://y.example/";
    EXPECT_TRUE(fnOpenBookmark(file, true, true, openers, log));
    EXPECT_EQ(recorded.opened, (Arguments{"https://v.example/", "https://w.example/",
                                          "https://x.example/", "https://y.example/"}));
    EXPECT_EQ(recorded.started.size(), 1u);

    // An address a program could take for an option is never handed to one.
    EXPECT_FALSE(open("--utility-cmd-prefix=x", true, false));
    EXPECT_FALSE(open("", true, false));
    EXPECT_EQ(recorded.started.size(), 1u);
}

#endif
