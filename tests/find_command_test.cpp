// SPDX-License-Identifier: MIT
#include "cli/find_command.h"
#include "cli/find_options.h"
#include "cli/printable_text.h"
#include "platform/files.h"
#include "platform/separators.h"
#include "support/chromium_files.h"
#include "support/fake_browsers.h"
#include "support/recording_openers.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/test_registry.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using zaptrove::fnRunFind;
using Args = std::vector<std::string>;

namespace {

const char* const kBookmarks =
    "<DT><A HREF=\"http://b\">Daily News</A>\n<DT><A HREF=\"http://a\">news</A>\n"
    "<DT><A HREF=\"http://c\">Sports</A>\n";

// A temporary Netscape file of three bookmarks and settings store, and a run of zaptrove-find
// that keeps its output.
class FindCommand : public testing::Test {
  protected:
    const zaptrove::test::TempFolder t;
    const std::string ns = t.write("ns.html", kBookmarks);
    const zaptrove::test::TestRegistry registry;
    const Args stored = registry.findArguments();
    std::ostringstream out, err;

    int run(const Args& args, const zaptrove::FindOpeners& openers = {}) {
        out.str("");
        err.str("");
        return fnRunFind(args, out, err, openers);
    }
    // A run's exit status and standard output, as "status:output".
    std::string found(const Args& args) {
        const int status = run(args);
        return std::to_string(status) + ":" + out.str();
    }
    bool printed(const std::string& text) const {
        return out.str().find(text) != std::string::npos;
    }
};

Args operator+(Args first, const Args& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

TEST_F(FindCommand, PrintsResultsOrSaysWhyNot) {
    const std::string log = t / "find.log";
    t.write("Fav/Fav News.url", "[InternetShortcut]\nURL=http://fav\n");
    const std::string opera = t.write("op.adr", "#URL\n\tNAME=Opera News\n\tURL=http://op\n");
    const std::string daily = "Daily News  -  http://b\n", two = daily + "news  -  http://a\n";
    const std::string three = "http://a  -  news\nhttp://b  -  Daily News\nhttp://c  -  Sports\n";
    const std::string all = "Daily News  -  http://b\nnews  -  http://a\nSports  -  http://c\n";
    const std::string sorted = "http://b  -  Daily News\nhttp://a  -  news\nhttp://c  -  Sports\n";
    const std::string tsv =
        "Daily News\thttp://b\tNetscape Main\t\t\nnews\thttp://a\tNetscape Main\t\t\n";
    const std::string four = "Daily News  -  http://b\nFav News  -  http://fav\nnews  -  http://a\n"
                             "Opera News  -  http://op\n";
    const std::string fav = t.path() + "/Fav", version = "zaptrove-find 4.3\n";
    // clang-format off
    // Arguments after "--netscape FILE", exit status, standard output.
    const std::tuple<Args, int, std::string> cases[] = {
        {{"NEWS"}, 0, two},                      {{"--tsv", "news"}, 0, tsv},
        {{"daily", "news"}, 0, daily},           {{"--debug-log", log, "news"}, 0, two},
        {{"--by", "url", "HTTP"}, 0, three},     {{"--sort=url", "s"}, 0, three},
        {{"--sort", "none", "s"}, 0, sorted},    {{"--by=both", "--sort", "name", "a"}, 0, two},
        {{"--netscape-alt", ns, "--dups", "remove", "news"}, 0, two},
        {{"--netscape-alt", ns, "--dups=keep", "daily"}, 0, daily + daily},
        {{"--favorites", fav, "--opera", opera, "--by", "both", "news"}, 0, four},
        {{"--favorites", fav, "--by", "name", "fav"}, 0, "Fav News  -  http://fav\n"},
        {{"--words", "any", "news", "daily"}, 0, daily},
        {{"--words=together", "news", "daily"}, 1, ""},
        {{"--accents", "ignore", "Spörts"}, 0, "Sports  -  http://c\n"},
        {{"--accents", "match", "Spörts"}, 1, ""}, {{"zebra"}, 1, ""},
        {{"--words", "all", "news"}, 2, ""},     {{"-h"}, 0, zaptrove::fnFindUsage()},
        {{"-V"}, 0, version},                    {{"--version"}, 0, version},
        {{""}, 0, all},                          {{"--all"}, 0, all},
        {{"--all", "news"}, 2, ""},              {{"--", "-h"}, 1, ""},
        {{"--bogus", "x", "news"}, 2, ""},       {{"news", "--by"}, 2, ""},
        {{}, 2, ""}};
    // clang-format on
    for (auto [args, status, expected] : cases) {
        args.insert(args.begin(), {"--netscape", ns});
        EXPECT_EQ(run(args), status) << testing::PrintToString(args);
        EXPECT_EQ(out.str(), expected) << testing::PrintToString(args);
        if (status == 2) // one line
            EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
        else
            EXPECT_EQ(err.str(), status == 0 ? "" : "Nothing Found\n");
    }
    EXPECT_NE(zaptrove::test::readFile(log).find("] Searching by NAME\r\n"), std::string::npos);
    // Only a hive file can be named (Windows' registry is no file); its bad lines are logged.
    const std::string hive = t.write("r.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=dword:x\n");
    EXPECT_EQ(run({"--registry", hive, "--debug-log", log, "--netscape", ns, "news"}),
              zaptrove::platform::registryIsHiveFile() ? 0 : 2);
    if (zaptrove::platform::registryIsHiveFile()) {
        EXPECT_NE(zaptrove::test::readFile(log).find(
                      " line 3 cannot be read and is skipped: \"A\"=dword:x\r\n"),
                  std::string::npos);
    }
}

#ifndef _WIN32
// On Linux a "\" belongs to a file name: such names are read whole, not as the old "/" mapping.
TEST_F(FindCommand, BackslashesInLinuxNamesBelongToTheNames) {
    const std::string_view shortcut = "[InternetShortcut]\nURL=http://";
    t.write("Fav/Tips \\ Tricks.url", std::string(shortcut) + "tips\n");
    t.write("Fav/a\\b/Deep \\ news.url", std::string(shortcut) + "deep\n");
    t.write("Fav/a/b/Decoy.url", std::string(shortcut) + "decoy\n");
    const std::string netscape =
        t.write("nets\\cape/b.html", "<DT><A HREF=\"http://ns\">Netscape tips</A>\n");
    t.write("nets/cape/b.html", "<DT><A HREF=\"http://decoy\">Decoy</A>\n");
    const std::string favorites = t.asFolder("Fav");
    EXPECT_EQ(
        run({"--favorites", favorites, "--netscape", netscape, "--tsv", "--sort", "none", "--all"}),
        0);
    EXPECT_EQ(out.str(), "Tips \\ Tricks\thttp://tips\tMSIE Main\t\t\n"
                         "Deep \\ news\thttp://deep\tMSIE Main\t\ta\\b\n"
                         "Decoy\thttp://decoy\tMSIE Main\t\ta/b\n"
                         "Netscape tips\thttp://ns\tNetscape Main\t\t\n");
    // By name the address is read later from the path; by address at once.
    for (const auto& [by, term, line] :
         {std::tuple{"name", "tricks", "Tips \\ Tricks  -  http://tips\n"},
          std::tuple{"url", "deep", "Deep \\ news  -  http://deep\n"}}) {
        EXPECT_EQ(found({"--favorites", favorites, "--sort", "name", "--by", by, term}),
                  std::string("0:") + line);
    }
    EXPECT_EQ(run({"--favorites", t.asFolder("Fav\\a"), "x"}), 3); // not the folder Fav/a
    EXPECT_EQ(err.str(), "zaptrove-find: Favorites folder " + t / "Fav\\a/" +
                             " could not be read: No such file or directory\n");
}
#endif

TEST_F(FindCommand, PrintsControlCharactersAndBytesThatAreNotUtf8AsReplacements) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string_view, std::string> cases[] = {
        {"\x1b]0;PWNED\x07\x1b[2J", fffd + "]0;PWNED" + fffd + fffd + "[2J"},
        {"a\tb\r\nc", "a b  c"},
        {std::string_view("n\0\x7f\x01\x1f", 5), "n" + fffd + fffd + fffd + fffd},
        {"\xC2\x85\xC2\x9F\xC2\xA0\xC2\xA9",
         fffd + fffd + "\xC2\xA0\xC2\xA9"}, // C1, then no-break space and ©
        {"caf\xA9 \xE2\x82", "caf" + fffd + " " + fffd + fffd},
        {"a\u202Eexe.txt\u2066b\u2069\u200F",
         "a" + fffd + "exe.txt" + fffd + "b" + fffd + "\u200F"},
        {"Grüße 漢 😀 ~", "Grüße 漢 😀 ~"},
        // Past whole blocks of sixteen printable bytes.
        {"0123456789abcdef\x1b 123456789abcdef~ \xC2\x85",
         "0123456789abcdef" + fffd + " 123456789abcdef~ " + fffd},
        {"0123456789abcde\x7f"
         "0123456789abcdef\t",
         "0123456789abcde" + fffd + "0123456789abcdef "},
        {"0123456789abcde\x1f", "0123456789abcde" + fffd}};
    for (const auto& [text, printed] : cases)
        EXPECT_EQ(zaptrove::fnPrintableLine(text), printed) << testing::PrintToString(text);

    // Escapes, tabs and line breaks, in a name or a folder's, would change the
    // terminal or add a column or a line.
    const std::string pwned =
        t.write("pwned.html", "<DT><H3>Work\tand\x1b</H3>\n<DL><p>\n"
                              "<DT><A HREF=\"http://\x1b[2J\">\x1b]0;PWNED\x07\tx\ny</A>");
    const std::string name = fffd + "]0;PWNED" + fffd + " x y", url = "http://" + fffd + "[2J";
    for (const auto& [form, line] :
         {std::pair{"--tsv", name + "\t" + url + "\tNetscape Main\t\tWork and" + fffd + "\n"},
          std::pair{"--by=both", name + "  -  " + url + "\n"}}) {
        EXPECT_EQ(found({"--netscape", pwned, form, "pwned"}), "0:" + line);
    }
}

TEST_F(FindCommand, NamesEachSourceThatCannotBeReadAndFailsWhenNoneCould) {
    const std::string missing = t / "missing.html";
    const std::string folder = t.makeFolder("folder"), firefox = t.makeFolder("ff");
    const std::string missingLine = "zaptrove-find: Netscape file " + missing +
                                    " could not be read: No such file or directory\n";
    const std::string folderLine =
        "zaptrove-find: Opera file " + folder + " could not be read: Is a directory\n";
    const std::string favoritesLine = "zaptrove-find: Favorites folder " +
                                      zaptrove::platform::folderPath(missing) +
                                      " could not be read: ";
    // Arguments, exit status, standard error (its start for the last one).
    const std::tuple<Args, int, std::string> cases[] = {
        {{"--netscape", ns, "--netscape-alt", missing, "news"}, 0, missingLine},
        {{"--netscape", missing, "--opera", folder, "news"}, 3, missingLine + folderLine},
        {{"--favorites", missing, "news"}, 3, favoritesLine},
        {{"--netscape", ns, "--firefox", firefox, "zebra"},
         1,
         "zaptrove-find: Firefox profile " + (t / "ff/places.sqlite") +
             " could not be read: no places.sqlite file\nNothing Found\n"}};
    for (const auto& [args, status, expected] : cases) {
        EXPECT_EQ(run(args), status) << testing::PrintToString(args);
        EXPECT_TRUE(err.str().starts_with(expected)) << err.str();
    }
    // The source listing gives the same reason, found by the read itself.
    std::vector<std::pair<std::string, std::string>> reasons = {
        {folder, "Is a directory"}, {missing, "No such file or directory"}};
#ifndef _WIN32
    const std::string fifo = t / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    reasons.emplace_back(fifo, "Not a regular file");
#endif
    for (const auto& [path, reason] : reasons) {
        EXPECT_EQ(run({"--netscape", path, "news"}), 3);
        EXPECT_EQ(err.str(), "zaptrove-find: Netscape file " +
                                 zaptrove::platform::nativePath(path) +
                                 " could not be read: " + reason + "\n");
        EXPECT_EQ(run({"--netscape", path, "--list-sources"}), 0);
        EXPECT_TRUE(printed("on\tNetscape Main\tcannot be read: " + reason + "\t" + path + "\n"))
            << out.str();
    }
}

// A source read in part gives what came before the damage, named on stderr and in the log.
TEST_F(FindCommand, NamesASourceReadOnlyInPart) {
    const std::string whole = zaptrove::test::chromiumBookmarks("Zt Kept", "https://kept/");
    const std::string cut = t.write("Bookmarks", whole.substr(0, whole.size() - 3));
    const std::string log = t / "find.log", damage = std::to_string(whole.size() - 3);
    EXPECT_EQ(found({"--chromium", cut, "--debug-log", log, "zt"}),
              "0:Zt Kept  -  https://kept/\n");
    EXPECT_EQ(err.str(), "zaptrove-find: Chromium profile " + zaptrove::platform::nativePath(cut) +
                             " was read only in part: damaged at byte " + damage + "\n");
    EXPECT_NE(zaptrove::test::readFile(log).find("Chromium file read only in part: " + cut +
                                                 ": damaged at byte " + damage + "\r\n"),
              std::string::npos);
    EXPECT_EQ(run({"--chromium", cut, "--list-sources"}), 0);
    EXPECT_TRUE(printed("\t1 bookmark, not read whole: damaged at byte " + damage + "\t"));
}

// The lines are made in blocks, some by a helper thread, before they are written: hundreds of
// kilobytes of them, some with replacements, come out whole and in order, as lines and as columns.
TEST_F(FindCommand, ManyLinesComeOutWholeAndInOrder) {
    std::string file, lines, columns;
    for (int k = 0; k < 3000; ++k) {
        const std::string id = std::to_string(k), url = "http://example.com/" + id + "/page";
        const std::string tail = " " + std::string(60, 'x'), shown = "news " + id + tail;
        const std::string name = k % 700 == 0 ? "news " + id + "\t" + tail.substr(1) : shown;
        file += "<DT><A HREF=\"" + url + "\">" + name + "</A>\n";
        lines += url + "  -  " + shown + "\n"; // unsorted: the address first
        columns += shown + "\t" + url + "\tNetscape Main\t\t\n";
    }
    const std::string many = t.write("many.html", file);
    EXPECT_EQ(found({"--netscape", many, "--sort", "none", "news"}), "0:" + lines);
    EXPECT_EQ(found({"--netscape", many, "--sort", "none", "--tsv", "news"}), "0:" + columns);
}

TEST_F(FindCommand, AnOutputThatCannotBeWrittenFailsWithAMessage) {
    // Every character written is refused, as on a full disk.
    struct Refusing : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } refusing;
    for (const Args& args : {Args{"--netscape", ns, "news"}, Args{"--help"}}) {
        std::ostream refused(&refusing);
        std::ostringstream message;
        EXPECT_EQ(fnRunFind(args, refused, message), zaptrove::FIND_WRITE_ERROR);
        EXPECT_EQ(message.str(), "zaptrove-find: the output could not be written\n");
    }
}

TEST_F(FindCommand, RealProgramTakesAnyTextAndExitsWithZero) {
    // The program sits in the build folder, one above the tests.
    const std::string program = zaptrove::platform::nativePath(
        zaptrove::platform::programFolder() + "/../zaptrove-find" + ZAPTROVE_EXE_SUFFIX);
    const std::string file = t.write(
        "Grüße/ns.html", "<DT><A HREF=\"http://ä\">Ärger 漢字 😀</A>\n" + std::string(kBookmarks));
    const std::string command =
        "\"" + program + "\" --tsv --netscape \"" + file + "\" \"ärger 漢字\"";
#ifdef _WIN32
    // The wide form keeps every character; cmd.exe takes off the outer quotes.
    const std::u16string units = zaptrove::platform::utf8ToUtf16("\"" + command + "\"");
    FILE* pipe = _wpopen(std::wstring(units.begin(), units.end()).c_str(), L"r");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    ASSERT_NE(pipe, nullptr);
    std::string output(4096, '\0');
    output.resize(fread(output.data(), 1, output.size(), pipe));
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(output, "Ärger 漢字 😀\thttp://ä\tNetscape Main\t\t\n");
}

TEST_F(FindCommand, WhatIsNotGivenComesFromTheStoredSettingsWhichStayUntouched) {
    EXPECT_EQ(found(stored + Args{"--netscape", ns, "news"}),
              "0:Daily News  -  http://b\nnews  -  http://a\n");
    EXPECT_TRUE(registry.settingsValues().empty()); // a first run of the command writes nothing

    const std::string main = t.write("main.html", "<DT><A HREF=\"http://m\">Main news</A>\n");
    const std::string favorites = t.makeFolder("Favs"); // stored without its final separator
    registry.store({{"Present", 1.0},
                    {"MSIEAlt", favorites},
                    {"Sort", 1.0},
                    {"DoMSIE", 14.0},
                    {"DoNetscape", 13.0},
                    {"DoNetscapeEx", 13.0},
                    {"NetscapeAlt", ns},
                    {"NetscapeMain", main}});
    const auto before = registry.settingsValues();
    EXPECT_EQ(found(stored + Args{"news"}), // stored order and Netscape file
              "0:http://a  -  news\nhttp://b  -  Daily News\nhttp://m  -  Main news\n");
    EXPECT_EQ(found(stored + Args{"--sort", "name", "news"}),
              "0:Daily News  -  http://b\nMain news  -  http://m\nnews  -  http://a\n");
    EXPECT_EQ(found(stored + Args{"--opera", t / "none.adr", "news"}), "3:"); // only that one
    EXPECT_EQ(run(stored + Args{"--list-sources"}), 0);
    EXPECT_TRUE(printed("\t" + favorites + "\\\n")) << out.str();
    EXPECT_EQ(registry.settingsValues(), before);
}

// --merge prints one line per address (the first copy); otherwise the stored MergeCopies decides.
TEST_F(FindCommand, MergeOnPrintsOneLinePerAddress) {
    const std::string netscape =
        t.write("zt.html", "<DT><A HREF=\"HTTPS://Zt.example/\">Zt ns</A>\n");
    const std::string chromium = t.write(
        "prof/Bookmarks", zaptrove::test::chromiumBookmarks("Zt chromium", "https://zt.example"));
    const auto merged = [&](const Args& options) {
        return found(stored + options +
                     Args{"--tsv", "--netscape", netscape, "--chromium", chromium, "zt"});
    };
    const std::string first = "Zt ns\tHTTPS://Zt.example/\tNetscape Main\t\t\n";
    const std::string both = "0:Zt chromium\thttps://zt.example\tChromium family, added by hand\t" +
                             chromium + "\t\n" + first;
    EXPECT_EQ(merged({}), both);
    EXPECT_EQ(merged({"--merge", "on"}), "0:" + first);
    EXPECT_EQ(merged({"--merge=off"}), both);
    EXPECT_EQ(merged({"--merge", "yes"}), "2:");

    registry.store({{"Present", 1.0}, {"MergeCopies", 36.0}});
    EXPECT_EQ(merged({}), "0:" + first);
    EXPECT_EQ(merged({"--merge", "off"}), both);
}

// Hand-given browser locations (folder or file) are read with browsers off, and listed.
TEST_F(FindCommand, BrowserLocationsAndTheSourceList) {
    const std::string bookmarks =
        t.write("prof/Bookmarks", zaptrove::test::chromiumBookmarks("Zt News", "https://zt/"));
    const std::string account = t.write(
        "prof/AccountBookmarks", zaptrove::test::chromiumBookmarks("Zt Synced", "https://s/"));
    const std::string firefox = t.makeFolder("ff");
    const std::string news = "0:Zt News  -  https://zt/\n";
    EXPECT_EQ(found({"--chromium", t / "prof", "zt"}), news + "Zt Synced  -  https://s/\n");
    EXPECT_EQ(found({"--chromium", bookmarks, "--browsers", "off", "zt"}), news);
    EXPECT_EQ(found({"--chromium", bookmarks, "--netscape", ns, "news"}),
              "0:Daily News  -  http://b\nnews  -  http://a\nZt News  -  https://zt/\n");
    EXPECT_EQ(found({"--netscape", ns, "zt"}), "1:"); // only the named location
    EXPECT_EQ(found({"--browsers", "maybe", "zt"}), "2:");

    const std::string none = t.write("none.adr", "");
    const std::string listing =
        found({"--list-sources", "--netscape", ns, "--opera", none, "--firefox", firefox,
               "--chromium", t / "prof", "--browsers", "off"});
    EXPECT_EQ(listing.substr(listing.find("on\tNetscape Main")),
              "on\tNetscape Main\t3 bookmarks\t" + ns +
                  "\noff\tNetscape Alt\tcannot be read: No path given\t\n"
                  "on\tOpera Main\t0 bookmarks\t" +
                  none +
                  "\noff\tOpera Alt\tcannot be read: No path given\t\n"
                  "on\tFirefox, added by hand, profile " +
                  firefox + "\tcannot be read: no places.sqlite file\t" + (t / "ff/places.sqlite") +
                  "\non\tChromium family, added by hand, profile " + (t / "prof") +
                  "\t1 bookmark\t" + bookmarks + "\non\tChromium family, added by hand, profile " +
                  (t / "prof") + " (account)\t1 bookmark\t" + account + "\n");
    EXPECT_TRUE(listing.starts_with("0:off\tMSIE Main\t")) << listing;
}

#ifndef _WIN32
// A fresh account (no settings or Favorites, Firefox's empty profile) is quiet; named sources not.
TEST_F(FindCommand, AFreshAccountIsQuiet) {
    const std::string home = t.makeFolder("home");
    const zaptrove::test::ScopedEnvironment environment{{"HOME", home},
                                                        {"XDG_CONFIG_HOME", home + "/.config"}};
    t.makeFolder("home/.mozilla/firefox/ab12.default-esr");
    t.write("home/.mozilla/firefox/profiles.ini",
            "[Profile0]\nName=default-esr\nIsRelative=1\nPath=ab12.default-esr\nDefault=1\n");
    const Args fresh = {"--registry", t / "never-written.reg"};
    const auto find = [&](const Args& args) { return run(fresh + args); };
    EXPECT_EQ(find({"zt"}), 1);
    EXPECT_EQ(err.str(), "Nothing Found\n");
    EXPECT_EQ(find({"--list-sources"}), 0);
    for (const std::string& line :
         {"on\tMSIE Main\tno bookmarks yet\t" + t / "home/Favorites\\\n",
          std::string("off\tNetscape Main\t"), std::string("off\tNetscape Alt\t"),
          "on\tFirefox, profile default-esr (default)\tno bookmarks yet\t" +
              t / "home/.mozilla/firefox/ab12.default-esr/places.sqlite\n"})
        EXPECT_TRUE(printed(line)) << line << out.str();
    EXPECT_TRUE(zaptrove::platform::isAbsent(t / "never-written.reg"));

    // Named (even as start-up found it), or there and failing: reported.
    EXPECT_EQ(find({"--favorites", t / "home/Favorites\\", "zt"}), 3);
    EXPECT_EQ(err.str(), "zaptrove-find: Favorites folder " + t / "home/Favorites/" +
                             " could not be read: No such file or directory\n");
    t.write("home/Favorites", "a file where the folder belongs");
    EXPECT_EQ(find({"zt"}), 1); // the Firefox profile was read
    EXPECT_EQ(err.str(), "zaptrove-find: Favorites folder " + t / "home/Favorites/" +
                             " could not be read: Not a directory\nNothing Found\n");
}

// --open starts what Enter in the window would (own browser or the desktop's), printing nothing.
TEST_F(FindCommand, OpenStartsTheFirstBookmarkFound) {
    const zaptrove::test::FakeBrowsers fakes(t);
    const std::string chromium = fakes.program("bin/chromium");
    t.write("prof/Bookmarks", zaptrove::test::chromiumBookmarks("Zt News", "https://zt/?a=1&b"));
    const std::string odd = t.write("odd.html", "<DT><A HREF=\"-x\">Odd</A>\n");
    // The exit status, then each program started with its arguments, then each address opened.
    const auto opened = [&](const Args& args) {
        zaptrove::test::RecordingOpeners recorder;
        std::string status = std::to_string(run(args, {&recorder, &recorder})) + ":";
        EXPECT_EQ(out.str(), "") << testing::PrintToString(args);
        for (const Args& program : recorder.started)
            for (const std::string& argument : program)
                status += argument + "\n";
        for (const std::string& address : recorder.opened)
            status += address + "\n";
        return status;
    };
    const std::string own =
        chromium + "\n--user-data-dir=" + t.path() + "\n--profile-directory=prof\n";
    EXPECT_EQ(opened({"--open", "--chromium", t / "prof", "zt"}),
              "0:" + own + "https://zt/?a=1&b\n");
    EXPECT_EQ(opened({"--open", "--private", "--chromium", t / "prof", "zt"}),
              "0:" + own + "--incognito\nhttps://zt/?a=1&b\n");
    EXPECT_EQ(
        opened({"--open", "--open-with", "default", "--private", "--chromium", t / "prof", "zt"}),
        "0:https://zt/?a=1&b\n");
    EXPECT_EQ(opened({"--open", "--open-with=own", "--netscape", ns, "news"}), "0:http://b\n");
    EXPECT_EQ(opened({"--open", "--netscape", ns, "zebra"}), "1:");
    EXPECT_EQ(opened({"--open", "--netscape", odd, "odd"}), "5:-x\n");
    EXPECT_EQ(err.str(), "zaptrove-find: the address cannot be opened: -x\n");
    for (const Args& wrong : {Args{"--private", "news"}, Args{"--open-with", "own", "news"},
                              Args{"--open", "--open-with", "mine", "news"}})
        EXPECT_EQ(opened(wrong).substr(0, 2), "2:") << testing::PrintToString(wrong);
}

// --rank use records what --open starts and lists it first; --rank off or nothing stored does not.
TEST_F(FindCommand, RankUseListsWhatWasOpenedFirst) {
    const zaptrove::test::FakeBrowsers fakes(t);
    fakes.program("bin/chromium");
    const zaptrove::test::ScopedEnvironment state{{"XDG_STATE_HOME", t / "state"}};
    t.write("prof/Bookmarks", zaptrove::test::chromiumBookmarks({{"Zt one", "https://one/"},
                                                                 {"Zt two", "https://two/"},
                                                                 {"Zt three", "https://three/"}}));
    const auto found = [&](const Args& options, const std::string& term = "zt") {
        const int status =
            run(stored + options + Args{"--sort", "name", "--chromium", t / "prof", term});
        std::string names = std::to_string(status) + ":";
        for (std::size_t at = 0; (at = out.str().find("Zt ", at)) != std::string::npos; ++at)
            names += out.str().substr(at + 3, 3) + " ";
        return names;
    };
    const std::string asSorted = "0:one thr two ";
    EXPECT_EQ(found({"--rank", "use", "--open"}, "zt two"), "0:");
    EXPECT_NE(fakes.started().find("https://two/"), std::string::npos);
    EXPECT_EQ(found({"--rank", "use"}), "0:two one thr ");
    EXPECT_EQ(found({"--rank=off"}), asSorted);
    EXPECT_EQ(found({}), asSorted);
    EXPECT_EQ(found({"--rank", "often"}), "2:");
}
#endif

TEST_F(FindCommand, FoldersAndLeaveOutOverTheStoredFolderRules) {
    const std::string file =
        t.write("folders.html", "<DT><H3>Work</H3>\n<DL><p>\n<DT><A HREF=\"http://j\">Jira</A>\n"
                                "<DT><H3>Private</H3>\n<DL><p>\n<DT><A HREF=\"http://p\">Pay</A>\n"
                                "</DL><p>\n</DL><p>\n<DT><A HREF=\"http://w\">Work notes</A>\n");
    const auto find = [&](const Args& args) {
        return found(stored + Args{"--netscape", file, "--sort", "name"} + args);
    };
    const std::string jira = "Jira  -  http://j\n", pay = "Pay  -  http://p\n",
                      notes = "Work notes  -  http://w\n";
    const std::pair<Args, std::string> cases[] = {
        {{"work"}, "0:" + notes},
        {{"--folders", "on", "work"}, "0:" + jira + pay + notes},
        {{"--folders", "on", "--leave-out", "private", "work"}, "0:" + jira + notes},
        {{"--leave-out", "x", "--leave-out", "WORK", "--all"}, "0:" + notes},
        {{"--folders", "yes", "work"}, "2:"},
        {{"work", "--leave-out"}, "2:"}};
    for (const auto& [args, expected] : cases)
        EXPECT_EQ(find(args), expected) << testing::PrintToString(args);

    registry.store({{"Present", 1.0}, {"FolderWords", 34.0}, {"LeaveOut", "Old; private"}});
    EXPECT_EQ(find({"work"}), "0:" + jira + notes);
    EXPECT_EQ(find({"--folders", "off", "work"}), "0:" + notes);
    EXPECT_EQ(find({"--leave-out", "", "work"}), "0:" + jira + pay + notes);
}
