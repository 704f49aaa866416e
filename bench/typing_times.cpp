// SPDX-License-Identifier: MIT
// Times search as you type in the real window (offscreen): from each typed key
// to the list painted for it. Prints "TEXT MS CPU_MS ROWS" per typed key (the
// medians of RUNS runs of the wall time and of the process's processor time,
// which a busy machine inflates less, and the rows listed), for the word typed key by key over one
// Netscape bookmark file, searched by name and address.
//
//     zaptrove-typing-times NETSCAPE_FILE WORD RUNS HIVE_FILE
//
// The window stores its settings in HIVE_FILE, a throwaway file.
#include "main_window/frm_main.h"
#include "platform/forms.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct NoShell final : zaptrove::platform::Shell {
    void openAddress(std::string_view, std::uintptr_t) override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: zaptrove-typing-times NETSCAPE_FILE WORD RUNS HIVE_FILE\n", stderr);
        return 2;
    }
    namespace forms = zaptrove::platform::forms;
    const std::string word = argv[2];
    const int runs = std::max(1, std::atoi(argv[3]));
    forms::Application application(argc, argv);
    const auto registry = zaptrove::platform::openUserRegistry(argv[4]);
    NoShell shell;
    zaptrove::Settings settings;
    zaptrove::frmMain window(
        settings, {*registry, shell, zaptrove::platform::systemClock(), [] { std::_Exit(0); }, {}});
    window.Form_Load();
    settings.Function = zaptrove::FUNC_BOTH;
    settings.DoMSIE = settings.DoMSIEEx = settings.DoNetscapeEx = zaptrove::DO_NO;
    settings.DoOpera = settings.DoOperaEx = zaptrove::DO_NO;
    settings.DoNetscape = zaptrove::DO_YES;
    settings.NetscapeMain = argv[1];
    settings.Instant = zaptrove::INSTANT_ON;
    window.form.show();
    forms::doEvents();

    const auto cpuNow = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    };
    std::vector<std::vector<double>> perKey(word.size());
    std::vector<std::vector<double>> cpuPerKey(word.size());
    std::vector<int> rows(word.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t k = 0; k < word.size(); ++k) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = cpuNow();
            forms::simulateTyping(window.txtInput, word.substr(k, 1));
            forms::doEvents(); // lays out and paints the list
            perKey[k].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            cpuPerKey[k].push_back(cpuNow() - cpuStart);
            rows[k] = window.cboResult.visible() ? window.cboResult.listCount() : 0;
        }
        forms::simulateKey(window.txtInput, forms::KEY_ESCAPE); // clears the input
        forms::doEvents();
    }
    const auto median = [](std::vector<double>& times) {
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        return times[times.size() / 2];
    };
    for (std::size_t k = 0; k < word.size(); ++k) {
        std::printf("%s %.2f %.2f %d\n", word.substr(0, k + 1).c_str(), median(perKey[k]),
                    median(cpuPerKey[k]), rows[k]);
    }
    return 0;
}
