// SPDX-License-Identifier: MIT
// Times the real window program from outside, on an X display: from a key
// pressed through XTest to the last painting it caused, as XDamage reports it.
// "enter" types WORD unhurried and times Enter (search as you type off);
// "type" times each key of WORD and then Backspace with search as you type on.
// Prints "TEXT MS CPU_MS" per timed key: the medians over RUNS runs, after an
// untimed one, of the wall time and of the window thread's processor time.
// The window searches one Netscape or Chromium-family bookmark file, by name
// and address.
//
//     zaptrove-window-times PROGRAM enter|type netscape|chromium FILE WORD RUNS HOME
//
// HOME is a throwaway folder: the program's home, settings and runtime folder.
#include "registry/registry.h"
#include "settings/settings_store.h"
#include "settings/settings_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Every timed key paints (the input box at least). Its painting is over once
// the window stayed unpainted for kQuiet after it; a key that painted nothing
// within kLongest is timed at kLongest. The box paints at once, its list only
// when the search ends: at a million bookmarks, a file read afresh for every
// key, that is most of a second later, and a shorter quiet would time the box
// alone and leave the list's painting to the next key.
constexpr auto kQuiet = std::chrono::milliseconds(1500);
constexpr auto kLongest = std::chrono::seconds(20);
// Painting this narrow is the input box's blinking cursor, not a key's.
constexpr int kCursorWidth = 10;

double median(std::vector<double> pValues) {
    std::nth_element(pValues.begin(), pValues.begin() + pValues.size() / 2, pValues.end());
    return pValues[pValues.size() / 2];
}

// The window's place and size as the settings store them: at the top left.
struct PlacedWindow final : zaptrove::SettingsWindow {
    float windowTop() const override { return 0; }
    float windowLeft() const override { return 0; }
    float windowWidth() const override { return 9000; }
    float windowHeight() const override { return 6000; }
    bool isMinimized() const override { return false; }
    void setWindowTop(float) override {}
    void setWindowLeft(float) override {}
    void setWindowWidth(float) override {}
};

// Stores the settings of a window that searches pFile alone, by name and
// address, with search as you type on or off.
void storeSettings(const std::string& pHive, std::string_view pKind, const std::string& pFile,
                   bool pInstant) {
    const auto registry = zaptrove::platform::openUserRegistry(pHive);
    zaptrove::Settings settings;
    PlacedWindow window;
    zaptrove::subLoadSettings(*registry, settings, window); // a first run's values, stored
    settings.Function = zaptrove::FUNC_BOTH;
    settings.Instant = pInstant ? zaptrove::INSTANT_ON : zaptrove::INSTANT_OFF;
    settings.Height = 6000;
    for (std::int16_t* source :
         {&settings.DoMSIE, &settings.DoMSIEEx, &settings.DoNetscape, &settings.DoNetscapeEx,
          &settings.DoOpera, &settings.DoOperaEx, &settings.DoFirefox, &settings.DoChrome,
          &settings.DoChromium, &settings.DoEdge, &settings.DoBrave, &settings.DoVivaldi,
          &settings.DoOperaBlink, &settings.DoFirefoxEx, &settings.DoChromiumEx}) {
        *source = zaptrove::DO_NO;
    }
    if (pKind == "chromium") {
        settings.DoChromiumEx = zaptrove::DO_YES;
        settings.ChromiumAlt = pFile;
    } else {
        settings.DoNetscape = zaptrove::DO_YES;
        settings.NetscapeMain = pFile;
    }
    zaptrove::subSaveSettings(*registry, settings, window);
}

// Starts the window program with its home, settings and runtime in pHome.
pid_t startProgram(const char* pProgram, const std::string& pHome, const std::string& pHive) {
    const std::string runtime = pHome + "/runtime";
    mkdir(runtime.c_str(), 0700);
    const pid_t child = fork();
    if (child == 0) {
        setenv("HOME", pHome.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (pHome + "/.config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("ZAPTROVE_REGISTRY", pHive.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        execl(pProgram, pProgram, static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// The processor milliseconds the program's window thread has spent.
double threadProcessorMs(pid_t pProgram) {
    std::ifstream stat("/proc/" + std::to_string(pProgram) + "/schedstat");
    double nanoseconds = 0;
    stat >> nanoseconds;
    return nanoseconds / 1e6;
}

// The shown window of pProgram at or below pWindow (a window manager puts
// the program's window inside a frame of its own).
std::optional<Window> programWindow(Display* pDisplay, Window pWindow, pid_t pProgram) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    const bool owned =
        XGetWindowProperty(pDisplay, pWindow, XInternAtom(pDisplay, "_NET_WM_PID", False), 0, 1,
                           False, XA_CARDINAL, &type, &format, &items, &after, &value) == Success &&
        items == 1 && *reinterpret_cast<unsigned long*>(value) == static_cast<unsigned>(pProgram);
    XFree(value);
    XWindowAttributes attributes{};
    if (owned && XGetWindowAttributes(pDisplay, pWindow, &attributes) &&
        attributes.map_state == IsViewable) {
        return pWindow;
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::optional<Window> found;
    if (XQueryTree(pDisplay, pWindow, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            found = programWindow(pDisplay, children[i], pProgram);
        }
        XFree(children);
    }
    return found;
}

// The program's top-level window, once it is shown.
std::optional<Window> shownWindow(Display* pDisplay, pid_t pProgram) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (const auto window = programWindow(pDisplay, DefaultRootWindow(pDisplay), pProgram)) {
            return window;
        }
        usleep(20000);
    }
    return std::nullopt;
}

// Watches one window's painting and presses keys into it.
class Watcher {
  public:
    Watcher(Display* pDisplay, Window pWindow) : display_(pDisplay) {
        int error = 0;
        XDamageQueryExtension(display_, &damageEvent_, &error);
        damage_ = XDamageCreate(display_, pWindow, XDamageReportRawRectangles);
        XSetInputFocus(display_, pWindow, RevertToParent, CurrentTime);
        XSync(display_, False);
    }

    // Presses and releases the key, and answers when the last painting it
    // caused arrived.
    Clock::time_point press(KeySym pKey) {
        const KeyCode code = XKeysymToKeycode(display_, pKey);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XFlush(display_);
        return lastPainting(Clock::now());
    }

    // Waits for the window's first painting to end.
    void settle() { lastPainting(Clock::now()); }

  private:
    Clock::time_point lastPainting(Clock::time_point pSince) {
        std::optional<Clock::time_point> last;
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == damageEvent_ + XDamageNotify &&
                    reinterpret_cast<XDamageNotifyEvent&>(event).area.width > kCursorWidth) {
                    last = Clock::now();
                }
            }
            const auto end = last ? std::min(*last + kQuiet, pSince + kLongest) : pSince + kLongest;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) {
                return last.value_or(end);
            }
            poll(&connection, 1, static_cast<int>(left) + 1);
        }
    }

    Display* display_;
    int damageEvent_ = 0;
    Damage damage_ = 0;
};

struct Timings {
    std::string text;
    std::vector<double> wall;
    std::vector<double> processor;
};

// Times pKey and adds its wall and processor milliseconds to pTimings.
void timeKey(Watcher& pWatcher, pid_t pProgram, KeySym pKey, Timings& pTimings) {
    const double processorStart = threadProcessorMs(pProgram);
    const auto start = Clock::now();
    const auto painted = pWatcher.press(pKey);
    pTimings.wall.push_back(std::chrono::duration<double, std::milli>(painted - start).count());
    pTimings.processor.push_back(threadProcessorMs(pProgram) - processorStart);
}

KeySym keyOf(char pCharacter) {
    const char name[2] = {pCharacter, '\0'};
    return XStringToKeysym(name);
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 8 ? argv[2] : "";
    const std::string_view kind = argc == 8 ? argv[3] : "";
    if ((mode != "enter" && mode != "type") || (kind != "netscape" && kind != "chromium")) {
        std::fputs("usage: zaptrove-window-times PROGRAM enter|type netscape|chromium FILE WORD "
                   "RUNS HOME\n",
                   stderr);
        return 2;
    }
    const std::string word = argv[5];
    const int runs = std::max(1, std::atoi(argv[6]));
    const std::string home = argv[7];
    const std::string hive = home + "/registry.reg";
    storeSettings(hive, kind, argv[4], mode == "type");
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("zaptrove-window-times: no X display\n", stderr);
        return 1;
    }
    const pid_t program = startProgram(argv[1], home, hive);
    const std::optional<Window> window = shownWindow(display, program);
    if (!window) {
        kill(program, SIGTERM);
        std::fputs("zaptrove-window-times: the window never showed\n", stderr);
        return 1;
    }
    Watcher watcher(display, *window);
    watcher.settle();

    std::vector<Timings> timings;
    if (mode == "type") {
        for (std::size_t k = 0; k < word.size(); ++k) {
            timings.push_back({word.substr(0, k + 1), {}, {}});
        }
        timings.push_back({word.substr(0, word.size() - 1) + "(Backspace)", {}, {}});
    } else {
        timings.push_back({word, {}, {}});
    }
    // A first, untimed round warms the program up; its times are dropped.
    for (int run = 0; run <= runs; ++run) {
        if (run == 1) {
            for (Timings& timing : timings) {
                timing.wall.clear();
                timing.processor.clear();
            }
        }
        if (mode == "type") {
            for (std::size_t k = 0; k < word.size(); ++k) {
                timeKey(watcher, program, keyOf(word[k]), timings[k]);
            }
            timeKey(watcher, program, XK_BackSpace, timings.back());
        } else {
            for (const char character : word) {
                watcher.press(keyOf(character));
            }
            timeKey(watcher, program, XK_Return, timings.front());
        }
        watcher.press(XK_Escape); // clears the input box and folds the list away
    }
    kill(program, SIGTERM);
    waitpid(program, nullptr, 0);
    XCloseDisplay(display);
    for (const Timings& timing : timings) {
        std::printf("%s %.2f %.2f\n", timing.text.c_str(), median(timing.wall),
                    median(timing.processor));
    }
    return 0;
}
