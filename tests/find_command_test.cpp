#include "cli/find_command.h"
#include "cli/find_options.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

using zaptrove::fnRunFind;
using Args = std::vector<std::string>;

namespace {

const char* const kBookmarks =
    "<DT><A HREF=\"http://b\">Daily News</A>\n<DT><A HREF=\"http://a\">news</A>\n"
    "<DT><A HREF=\"http://c\">Sports</A>\n";

} // namespace

TEST(FindCommand, PrintsResultsOrSaysWhyNot) {
    const zaptrove::test::TempFolder t;
    const std::string ns = t.write("ns.html", kBookmarks), log = t / "find.log";
    t.write("Fav/Fav News.url", "[InternetShortcut]\nURL=http://fav\n");
    const std::string opera = t.write("op.adr", "#URL\n\tNAME=Opera News\n\tURL=http://op\n");
    const std::string two = "Daily News  -  http://b\nnews  -  http://a\n";
    const std::string three = "http://a  -  news\nhttp://b  -  Daily News\nhttp://c  -  Sports\n";
    // Arguments after "--netscape FILE", exit status, standard output.
    const std::tuple<Args, int, std::string> cases[] = {
        {{"NEWS"}, 0, two},
        {{"--tsv", "news"}, 0, "Daily News\thttp://b\nnews\thttp://a\n"},
        {{"daily", "news"}, 0, "Daily News  -  http://b\n"},
        {{"--debug-log", log, "news"}, 0, two},
        {{"--by", "url", "HTTP"}, 0, three},
        {{"--sort=url", "s"}, 0, three},
        {{"--sort", "none", "s"},
         0,
         "http://b  -  Daily News\nhttp://a  -  news\nhttp://c  -  Sports\n"},
        {{"--by=both", "--sort", "name", "a"}, 0, two},
        {{"--netscape-alt", ns, "--dups", "remove", "news"}, 0, two},
        {{"--netscape-alt", ns, "--dups=keep", "daily"},
         0,
         "Daily News  -  http://b\nDaily News  -  http://b\n"},
        {{"--favorites", t.path() + "/Fav", "--opera", opera, "--by", "both", "news"},
         0,
         "Daily News  -  http://b\nFav News  -  http://fav\nnews  -  http://a\nOpera News  -  "
         "http://op\n"},
        {{"zebra"}, 1, ""},
        {{"--help"}, 0, zaptrove::fnFindUsage()},
        {{"--bogus", "x", "news"}, 2, ""},
        {{"--by", "title", "news"}, 2, ""},
        {{"news", "--by"}, 2, ""},
        {{}, 2, ""}};
    for (auto [args, status, expected] : cases) {
        args.insert(args.begin(), {"--netscape", ns});
        std::ostringstream out, err;
        EXPECT_EQ(fnRunFind(args, out, err), status) << testing::PrintToString(args);
        EXPECT_EQ(out.str(), expected) << testing::PrintToString(args);
        if (status == 2) // one line
            EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
        else
            EXPECT_EQ(err.str(), status == 0 ? "" : "Nothing Found\n");
    }
    const std::string written = zaptrove::test::readFile(log);
    EXPECT_NE(written.find("] Searching by NAME\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("] Building combo for 2 match[es] found!\r\n"), std::string::npos);
    std::ostringstream out, err;
    EXPECT_EQ(fnRunFind({"--version"}, out, err), 0);
    EXPECT_NE(out.str().find("4.3"), std::string::npos);
}

TEST(FindCommand, RealProgramPrintsResultsAndExitsWithZero) {
    const zaptrove::test::TempFolder t;
    const std::string command = std::string("'") + ZAPTROVE_FIND_EXE + "' --tsv --netscape '" +
                                t.write("ns.html", kBookmarks) + "' NEWS";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output(4096, '\0');
    output.resize(fread(output.data(), 1, output.size(), pipe));
    const int status = pclose(pipe);
    EXPECT_EQ(output, "Daily News\thttp://b\nnews\thttp://a\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(FindCommand, WhatIsNotGivenComesFromTheStoredSettingsWhichStayUntouched) {
    const zaptrove::test::TempFolder t;
    const std::string ns = t.write("ns.html", kBookmarks);
    const std::string hive = t.write(
        "registry.reg", "Windows Registry Editor Version 5.00\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Zaptrove]\n\"Present\"=dword:00000001\n"
                        "\"Sort\"=dword:00000001\n\"DoMSIE\"=dword:0000000e\n"
                        "\"DoNetscape\"=dword:0000000e\n\"DoNetscapeEx\"=dword:0000000d\n"
                        "\"NetscapeAlt\"=\"" +
                            ns + "\"\n");
    const auto run = [&](Args args) {
        std::ostringstream out, err;
        args.insert(args.begin(), {"--registry", hive});
        fnRunFind(args, out, err);
        return out.str();
    };
    EXPECT_EQ(run({"news"}), "http://a  -  news\nhttp://b  -  Daily News\n"); // stored order
    EXPECT_EQ(run({"--sort", "name", "news"}), "Daily News  -  http://b\nnews  -  http://a\n");
    EXPECT_EQ(run({"--opera", t / "none.adr", "news"}), ""); // only the named location
    const std::string fresh = t / "fresh.reg";
    std::ostringstream out, err;
    EXPECT_EQ(fnRunFind({"--registry", fresh, "--netscape", ns, "news"}, out, err), 0);
    EXPECT_EQ(zaptrove::test::readFile(fresh), ""); // a first run of the command writes nothing
}
