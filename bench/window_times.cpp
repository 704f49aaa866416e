// SPDX-License-Identifier: MIT
// Times the real window (offscreen) from a key to the list painted for it.
// "enter" types WORD and presses Enter (search as you type off); "type" types
// WORD key by key with search as you type on. Prints "TEXT MS CPU_MS ROWS" per
// timed key: the medians over RUNS runs of the wall time and of the process's
// processor time (which a busy machine inflates less), and the rows listed.
// One Netscape bookmark file is searched, by name and address.
//
//     zaptrove-window-times enter|type NETSCAPE_FILE WORD RUNS HIVE_FILE
//
// The window stores its settings in HIVE_FILE, a throwaway file.
#include "forms/forms_simulate.h"
#include "main_window/frm_main.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace forms = zaptrove::platform::forms;

struct NoShell final : zaptrove::platform::Shell {
    void openAddress(std::string_view, std::uintptr_t) override {}
};

double processorMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(std::vector<double> pTimes) {
    std::nth_element(pTimes.begin(), pTimes.begin() + pTimes.size() / 2, pTimes.end());
    return pTimes[pTimes.size() / 2];
}

// The wall and processor times of one timed step and the rows it listed.
struct Timings {
    std::vector<double> wall;
    std::vector<double> processor;
    int rows = 0;
};

// Times pStep up to the painted window.
void timeStep(zaptrove::frmMain& pWindow, Timings& pTimings, const std::function<void()>& pStep) {
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = processorMilliseconds();
    pStep();
    forms::doEvents(); // lays out and paints the list
    pTimings.wall.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    pTimings.processor.push_back(processorMilliseconds() - processorStart);
    pTimings.rows = pWindow.cboResult.visible() ? pWindow.cboResult.listCount() : 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 6 ? argv[1] : "";
    if (mode != "enter" && mode != "type") {
        std::fputs("usage: zaptrove-window-times enter|type NETSCAPE_FILE WORD RUNS HIVE_FILE\n",
                   stderr);
        return 2;
    }
    const std::string word = argv[3];
    const int runs = std::max(1, std::atoi(argv[4]));
    forms::Application application(argc, argv);
    const auto registry = zaptrove::platform::openUserRegistry(argv[5]);
    NoShell shell;
    zaptrove::Settings settings;
    zaptrove::frmMain window(
        settings, {*registry, shell, zaptrove::platform::systemClock(), [] { std::_Exit(0); }, {}});
    window.Form_Load();
    settings.Function = zaptrove::FUNC_BOTH;
    settings.DoMSIE = settings.DoMSIEEx = settings.DoNetscapeEx = zaptrove::DO_NO;
    settings.DoOpera = settings.DoOperaEx = zaptrove::DO_NO;
    settings.DoNetscape = zaptrove::DO_YES;
    settings.NetscapeMain = argv[2];
    settings.BrowserProfiles.clear();
    settings.Instant = mode == "type" ? zaptrove::INSTANT_ON : zaptrove::INSTANT_OFF;
    window.form.show();
    forms::doEvents();

    std::vector<Timings> timings(mode == "type" ? word.size() : 1);
    for (int run = 0; run < runs; ++run) {
        if (mode == "type") {
            for (std::size_t k = 0; k < word.size(); ++k) {
                timeStep(window, timings[k],
                         [&] { forms::simulateTyping(window.txtInput, word.substr(k, 1)); });
            }
            forms::simulateKey(window.txtInput, forms::KEY_ESCAPE); // clears the input
        } else {
            window.txtInput.setText(word);
            timeStep(window, timings[0],
                     [&] { forms::simulateKey(window.txtInput, forms::KEY_RETURN); });
            forms::simulateKey(window.cboResult, forms::KEY_ESCAPE); // folds the list away
        }
        forms::doEvents();
    }
    for (std::size_t k = 0; k < timings.size(); ++k) {
        const std::string text = mode == "type" ? word.substr(0, k + 1) : word;
        std::printf("%s %.2f %.2f %d\n", text.c_str(), median(timings[k].wall),
                    median(timings[k].processor), timings[k].rows);
    }
    return 0;
}
