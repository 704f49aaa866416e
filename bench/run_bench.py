#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Times zaptrove-find beside grep, ripgrep, fd and sqlite3 on generated corpora (`make bench`).

    run_bench.py BUILD [--scales N ...] [--runs R] [--with-buku] [--parts PART ...]
                 [--window-baseline PROGRAM]

BUILD is the benchmark's release build (bench/CMakeLists.txt); the corpora are
generated into BUILD/corpora/ when missing. Every pair of commands runs in one
paired series (A, B, A, B ...) after a warm-up run of each; the table shows the
medians, their ratio, the target, and the peak memory of zaptrove-find beside
its limit. A second table breaks each search into stages, timed inside the
process by zaptrove-stage-times. The window program's start and, in Xvfb
from outside, its list (from Enter, and from each key typed with search as you
type on) are timed last; --window-baseline times another build's window program
in turns beside it. --with-buku adds buku's search (Debian's buku
package) beside the run over all three sources.
"""

import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import make_corpus

HERE = os.path.dirname(os.path.abspath(__file__))
WORD = "news"  # in about 5% of the bookmarks
EVERYWHERE = "http"  # in nearly every bookmark
ABSENT = "xylograph"  # in no bookmark
MIB = 1024 * 1024
BASE_MEMORY = 48 * MIB  # whatever the file size, beside the records kept


class Run:
    """What one run of a command cost, from the clock and from wait4's rusage
    (a shell pipeline's rusage is the shell's and its children's)."""

    def __init__(self, seconds, usage):
        self.seconds = seconds
        self.system = usage.ru_stime
        self.faults = usage.ru_minflt + usage.ru_majflt
        self.peak = usage.ru_maxrss * 1024


def run_once(command, stdout_path):
    with open(stdout_path, "wb") as out:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.DEVNULL,
                                   shell=isinstance(command, str))
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode not in (0, 1):
        sys.exit("failed (%d): %s" % (process.returncode, command))
    return Run(seconds, usage)


class Medians:
    """Median wall and system seconds and page faults of a command's runs, and
    its largest peak memory."""

    def __init__(self, runs):
        self.seconds = statistics.median(r.seconds for r in runs)
        self.system = statistics.median(r.system for r in runs)
        self.faults = statistics.median(r.faults for r in runs)
        self.peak = max(r.peak for r in runs)


def paired(first, second, runs, stdout_path):
    """The medians of both commands over one alternating series, after a
    warm-up run of each."""
    run_once(first, stdout_path)
    run_once(second, stdout_path)
    series = ([], [])
    for _ in range(runs):
        series[0].append(run_once(first, stdout_path))
        series[1].append(run_once(second, stdout_path))
    return Medians(series[0]), Medians(series[1])


def machine():
    """The line that says where the figures were measured."""
    model = "unknown CPU"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    load = os.getloadavg()
    return "%d cores (nproc), %s, kernel %s; load average %.2f %.2f %.2f at the start" % (
        os.cpu_count(), model, platform.release(), *load)


def corpus(build, count):
    folder = os.path.join(build, "corpora", str(count))
    # A corpus made before the browser files were added is made again.
    last = "History" if count <= make_corpus.BROWSER_LIMIT else ""
    if not os.path.exists(os.path.join(folder, last)):
        shutil.rmtree(folder, ignore_errors=True)
        print("Generating the corpus of %d bookmarks in %s" % (count, folder), flush=True)
        subprocess.run([sys.executable, os.path.join(HERE, "make_corpus.py"), str(count), folder],
                       check=True)
    elif not os.path.exists(os.path.join(folder, "export.adr")):
        print("Generating the export-shaped files of %d bookmarks in %s" % (count, folder),
              flush=True)
        subprocess.run([sys.executable, os.path.join(HERE, "make_corpus.py"), "--exports",
                        str(count), folder], check=True)
    return folder


def find_command(build, sources, by, word, extra=()):
    command = [os.path.join(build, "zaptrove", "zaptrove-find"), "--by", by]
    for option, path in sources:
        command += [option, path]
    return command + list(extra) + ["--", word]


def rows_for_scale(build, count, folder, with_buku):
    """(label, zaptrove-find command, anchor label, anchor command, target,
    stdout to /dev/null) for one corpus."""
    netscape = os.path.join(folder, "bookmarks.html")
    opera = os.path.join(folder, "bookmarks.adr")
    favorites = os.path.join(folder, "Favorites")
    big = count >= 1000000
    rows = []
    # The made-up files and the export-shaped ones, for a word in a few percent
    # of the bookmarks and for one in none.
    for name, option, file in (("Netscape", "--netscape", "bookmarks.html"),
                               ("Opera", "--opera", "bookmarks.adr"),
                               ("Netscape export", "--netscape", "export.html"),
                               ("Opera export", "--opera", "export.adr")):
        path = os.path.join(folder, file)
        for word, suffix in ((WORD, ""), (ABSENT, ", absent")):
            anchor = ["rg", "-F", "-i", "-c", word, path]
            for by in ("name", "url", "both"):
                rows.append(("%s by %s%s" % (name, by, suffix),
                             find_command(build, [(option, path)], by, word), "rg -F -i -c",
                             anchor, 1.0 if big else None, False))
    files = count // 10
    at_files_limit = files >= 100000
    rows.append(("Favorites by name", find_command(build, [("--favorites", favorites)], "name", WORD),
                 "fdfind -i -e url", ["fdfind", "-i", "-e", "url", ".", favorites],
                 0.5 if at_files_limit else None, False))
    rg_tree = ["rg", "-i", "-l", "-g", "*.url", "-g", "*.URL", WORD, favorites]
    for by, target in (("url", 0.5), ("both", None)):
        rows.append(("Favorites by %s" % by,
                     find_command(build, [("--favorites", favorites)], by, WORD),
                     "rg -i -l -g '*.url'", rg_tree, target if at_files_limit else None, False))
    rows.append(("Netscape '%s', sorted, no dups" % EVERYWHERE,
                 find_command(build, [("--netscape", netscape)], "both", EVERYWHERE,
                              ["--sort", "name", "--dups", "remove"]),
                 "grep -F -i | sort -f",
                 "grep -F -i %s '%s' | LC_ALL=C sort -f" % (EVERYWHERE, netscape),
                 1.2 if big else None, True))
    rows += browser_rows(build, count, folder)
    # buku imports about 3,000 bookmarks a second, so it is compared up to 100,000.
    buku = buku_search(build, count, netscape) if with_buku and count <= 100000 else None
    rows.append(("All three sources by both",
                 find_command(build, [("--favorites", favorites), ("--netscape", netscape),
                                      ("--opera", opera)], "both", WORD),
                 "buku -s" if buku else None, buku, 0.05 if buku and count == 100000 else None,
                 False))
    return rows


def browser_rows(build, count, folder):
    """The Chromium-family file beside grep, and the Firefox database, with and
    without a write-ahead log to copy, beside sqlite3's own count of the same
    matches."""
    if count > make_corpus.BROWSER_LIMIT:
        return []
    at_limit = count == make_corpus.BROWSER_LIMIT
    chromium = os.path.join(folder, "Bookmarks")
    rows = [("Chromium by both", find_command(build, [("--chromium", chromium)], "both", WORD),
             "rg -F -i -c", ["rg", "-F", "-i", "-c", WORD, chromium],
             1.0 if at_limit else None, False)]
    query = ("SELECT count(*) FROM moz_bookmarks b JOIN moz_places p ON p.id=b.fk WHERE b.type=1"
             " AND (p.url LIKE '%{0}%' OR b.title LIKE '%{0}%')".format(WORD))
    for label, profile in (("Firefox by both", "firefox"),
                           ("Firefox by both, log copied", "firefox-wal")):
        profile = os.path.join(folder, profile)
        rows.append((label, find_command(build, [("--firefox", profile)], "both", WORD),
                     "sqlite3 -readonly",
                     ["sqlite3", "-readonly", os.path.join(profile, "places.sqlite"), query],
                     1.0 if at_limit else None, False))
    # Ordered by use (the launch record, Firefox's frecency and Chromium's
    # History read) beside the same search in the order as read.
    browsers = [("--firefox", os.path.join(folder, "firefox-wal")), ("--chromium", chromium)]
    state = ["env", "XDG_STATE_HOME=" + os.path.abspath(os.path.join(folder, "state"))]
    for word in (WORD, EVERYWHERE):
        rows.append(("Firefox and Chromium '%s', by use" % word,
                     state + find_command(build, browsers, "both", word, ["--rank", "use"]),
                     "--rank off", state + find_command(build, browsers, "both", word,
                                                        ["--rank", "off"]),
                     1.2 if at_limit else None, True))
    return rows


def buku_search(build, count, netscape):
    """The shell command of a buku search in a throwaway database holding the
    Netscape corpus, imported once (it takes a while), or None without buku."""
    if shutil.which("buku") is None:
        print("WITH_BUKU: buku is not installed (apt-get install buku); its row is left out.")
        return None
    data = os.path.join(build, "buku", str(count))
    database = os.path.join(data, "buku", "bookmarks.db")
    environment = "XDG_DATA_HOME='%s'" % data
    if not os.path.exists(database):
        print("Importing the Netscape corpus of %d bookmarks into buku" % count, flush=True)
        partial = data + ".partial"
        shutil.rmtree(partial, ignore_errors=True)
        # buku reports each repeated address as an error and imports the rest.
        subprocess.run("XDG_DATA_HOME='%s' buku --nostdin --tacit -i '%s'" % (partial, netscape),
                       shell=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.rename(partial, data)
    return "%s buku --nostdin --np --nc -s %s" % (environment, WORD)


def print_table(count, folder, rows, runs, scratch):
    largest = max(os.path.getsize(os.path.join(folder, name))
                  for name in ("bookmarks.html", "bookmarks.adr", "Bookmarks", "export.html",
                               "export.adr")
                  if os.path.exists(os.path.join(folder, name)))
    print("\n%d bookmarks (%d shortcut files; largest file %.0f MiB); memory limit %d MiB plus"
          " the records kept" % (count, count // 10, largest / MIB, BASE_MEMORY / MIB))
    header = "%-34s %8s %7s %8s  %-22s %8s %7s %8s %6s %7s %9s %s" % (
        "zaptrove-find", "s", "sys s", "faults", "anchor", "s", "sys s", "faults", "ratio",
        "target", "peak MiB", "")
    print(header)
    print("-" * len(header))
    missed = []
    for label, command, anchor_label, anchor, target, quiet in rows:
        stdout_path = os.devnull if quiet else scratch
        if anchor is None:
            ours = Medians([run_once(command, stdout_path) for _ in range(runs + 1)][1:])
            theirs = None
        else:
            ours, theirs = paired(command, anchor, runs, stdout_path)
        ratio = ours.seconds / theirs.seconds if theirs else None
        verdict = []
        if target and ratio is not None:
            verdict.append("met" if ratio <= target else "NOT MET")
            if ratio > target:
                missed.append("%s: %.2f > %.2f" % (label, ratio, target))
        if quiet:
            run_once(command, scratch)
        # What the records kept may take: each one's name and address, its list
        # line and its sort key, about four times its line of output.
        limit = BASE_MEMORY + 4 * os.path.getsize(scratch)
        if ours.peak > limit:
            verdict.append("memory over limit")
            missed.append("%s: peak %.0f MiB > %.0f MiB" % (label, ours.peak / MIB, limit / MIB))
        anchor_cells = ("%8.3f %7.3f %8d" % (theirs.seconds, theirs.system, theirs.faults)
                        if theirs else "%8s %7s %8s" % ("", "", ""))
        print("%-34s %8.3f %7.3f %8d  %-22s %s %6s %7s %9.0f %s" % (
            label, ours.seconds, ours.system, ours.faults, anchor_label or "", anchor_cells,
            "%.2f" % ratio if ratio is not None else "",
            "<=%.2g" % target if target else "", ours.peak / MIB, ", ".join(verdict)),
            flush=True)
    return missed


STAGE_RUNS = [
    ("Netscape by both", lambda f: ["--netscape", os.path.join(f, "bookmarks.html"), "--by",
                                    "both", "--sort", "searched", "--dups", "keep", WORD]),
    ("Opera by both", lambda f: ["--opera", os.path.join(f, "bookmarks.adr"), "--by", "both",
                                 "--sort", "searched", "--dups", "keep", WORD]),
    ("Favorites by url", lambda f: ["--favorites", os.path.join(f, "Favorites"), "--by", "url",
                                    "--sort", "searched", "--dups", "keep", WORD]),
    ("Netscape '%s', sorted, no dups" % EVERYWHERE,
     lambda f: ["--netscape", os.path.join(f, "bookmarks.html"), "--by", "both", "--sort", "name",
                "--dups", "remove", EVERYWHERE]),
]


def print_stages(build, folders, runs):
    """Median milliseconds of each stage, and nanoseconds per bookmark, by scale."""
    print("\nStages inside the process: median ms, and in brackets ns per bookmark of the corpus"
          " (a tenth of them are shortcut files)")
    counts = sorted(folders)
    for label, arguments in STAGE_RUNS:
        print("\n%-34s" % label + "".join("%24d" % count for count in counts))
        runs_by_stage = {}
        for count in counts:
            for _ in range(runs):
                output = subprocess.run(
                    [os.path.join(build, "zaptrove-stage-times")] + arguments(folders[count]),
                    check=True, capture_output=True, text=True).stdout
                for line in output.splitlines():
                    stage, ms = line.split()
                    runs_by_stage.setdefault(stage, {}).setdefault(count, []).append(float(ms))
        measured = {stage: {count: statistics.median(ms) for count, ms in by_count.items()}
                    for stage, by_count in runs_by_stage.items()}
        for stage, by_count in measured.items():
            if all(ms < 0.005 for ms in by_count.values()):
                continue
            cells = "".join("%13.2f (%7.1f)" % (by_count[c], by_count[c] * 1e6 / c) for c in counts)
            print("  %-32s%s" % (stage, cells), flush=True)


START_TARGET_MS = 200.0
ENTER_TARGET_MS = 50.0
TYPING_TARGET_MS = 30.0


def started_display():
    """A virtual X display for the start-up timing, as (its name, the Xvfb
    process), or None when Xvfb is not installed."""
    if shutil.which("Xvfb") is None:
        return None
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number:
        server.wait()
        return None
    return ":" + number, server


def time_start(program, environment):
    """Milliseconds from starting the window program to its first window
    painted, and the processor milliseconds it had spent by then."""
    start = time.monotonic()
    process = subprocess.Popen([program], env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    shown = None
    for line in process.stderr:
        if line.startswith("shown "):
            _, at, processor = line.split()
            shown = ((float(at) - start) * 1e3, float(processor) * 1e3)
            break
    process.terminate()
    process.wait()
    if shown is None:
        sys.exit("the window program never reported its window shown")
    return shown


def print_start(build, runs, scratch):
    """From the start of zaptrove to its window painted, on a fresh account's
    first start (no settings, no browser) and on later starts, offscreen and in
    a virtual X display."""
    print("\nStart of the window program to its window painted: median ms [processor ms],"
          " target <=%.0f ms" % START_TARGET_MS)
    missed = []
    platforms = [("offscreen", {"QT_QPA_PLATFORM": "offscreen"})]
    display = started_display()
    if display:
        platforms.append(("X11 (Xvfb)", {"QT_QPA_PLATFORM": "xcb", "DISPLAY": display[0]}))
    else:
        print("  (Xvfb is not installed: the X11 row is left out)")
    try:
        for name, settings in platforms:
            home = tempfile.mkdtemp(dir=scratch)
            runtime = os.path.join(home, "runtime")
            os.mkdir(runtime, 0o700)
            environment = dict(os.environ, ZAPTROVE_TIMES="1", HOME=home,
                               XDG_CONFIG_HOME=os.path.join(home, ".config"),
                               XDG_RUNTIME_DIR=runtime,
                               ZAPTROVE_REGISTRY=os.path.join(home, "registry.reg"), **settings)
            program = os.path.join(build, "zaptrove", "zaptrove")
            first = time_start(program, environment)  # no settings yet: the first start
            later = [time_start(program, environment) for _ in range(runs)]
            wall = statistics.median(t[0] for t in later)
            processor = statistics.median(t[1] for t in later)
            print("  %-12s first start %6.1f [%5.1f]   later starts %6.1f [%5.1f]" % (
                name, first[0], first[1], wall, processor), flush=True)
            if wall > START_TARGET_MS:
                missed.append("start, %s: %.0f ms > %.0f ms" % (name, wall, START_TARGET_MS))
    finally:
        if display:
            display[1].terminate()
            display[1].wait()
    return missed


ENTER_WORD = "d"  # in about 88% of the bookmarks
KEY_TARGET_MS_AT_1M = 150.0


def window_times(build, display, program, mode, kind, path, word, scratch):
    """{text: (ms, processor ms)} of one run of zaptrove-window-times."""
    home = tempfile.mkdtemp(dir=scratch)
    output = subprocess.run(
        [os.path.join(build, "zaptrove-window-times"), program, mode, kind, path, word, "1", home],
        check=True, capture_output=True, text=True, env=dict(os.environ, DISPLAY=display)).stdout
    shutil.rmtree(home, ignore_errors=True)
    return {text: (float(ms), float(processor))
            for text, ms, processor in (line.split() for line in output.splitlines())}


def listed_rows(build, kind, path, text):
    """The rows the window lists for text: zaptrove-find's lines for the same search."""
    text = text.split("(")[0]  # "new(Backspace)" lists what "new" does
    output = subprocess.run(find_command(build, [("--" + kind, path)], "both", text),
                            check=True, capture_output=True).stdout
    return output.count(b"\n")


def print_window(build, folders, runs, scratch, baseline):
    """The window program on an X display (Xvfb), timed from outside: from a key
    pressed to the last painting it caused. Enter on a word in about 88% of the
    bookmarks, and each key of a word typed with search as you type on, then
    Backspace; over the Netscape and the Chromium-family file of each corpus.
    With a baseline program, the two run in turns and are shown side by side."""
    display = started_display()
    if display is None:
        print("\n(Xvfb is not installed: the window's keys are not timed)")
        return []
    programs = ([("old", baseline)] if baseline else []) + [
        ("new" if baseline else "", os.path.join(build, "zaptrove", "zaptrove"))]
    print("\nThe window in Xvfb, timed from outside (an XTest key to the last XDamage painting):"
          " median ms [window thread's processor ms] (rows listed); targets at 100,000 bookmarks:"
          " Enter <=%.0f ms, a key typed <=%.0f ms; at 1,000,000 <=%.0f ms"
          % (ENTER_TARGET_MS, TYPING_TARGET_MS, KEY_TARGET_MS_AT_1M))
    missed = []
    try:
        for count in sorted(c for c in folders if c >= 100000):
            sources = [("netscape", os.path.join(folders[count], "bookmarks.html"))]
            if count <= make_corpus.BROWSER_LIMIT:
                sources.append(("chromium", os.path.join(folders[count], "Bookmarks")))
            for kind, path in sources:
                for label, mode, word, target in (("Enter", "enter", ENTER_WORD, ENTER_TARGET_MS),
                                                  ("typed", "type", WORD, TYPING_TARGET_MS)):
                    if count >= 1000000:
                        target = KEY_TARGET_MS_AT_1M
                    samples = {}
                    for _ in range(runs):
                        for name, program in programs:
                            for text, times in window_times(build, display[0], program, mode, kind,
                                                            path, word, scratch).items():
                                samples.setdefault(text, {}).setdefault(name, []).append(times)
                    for text, by_program in samples.items():
                        cells = []
                        for name, _ in programs:
                            ms = statistics.median(t[0] for t in by_program[name])
                            processor = statistics.median(t[1] for t in by_program[name])
                            cells.append("%s %6.1f [%5.1f]" % (name, ms, processor))
                            if name != "old" and ms > target:
                                missed.append("%s %s '%s' at %d: %.1f ms > %.0f ms"
                                              % (kind, label, text, count, ms, target))
                        print("  %-8d %-9s %-6s %-15s %s (%6d)" % (
                            count, kind, label, text, "   ".join(cells),
                            listed_rows(build, kind, path, text)), flush=True)
    finally:
        display[1].terminate()
        display[1].wait()
    return missed


PARTS = ["files", "stages", "window"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--scales", type=int, nargs="+", default=[10000, 100000, 1000000])
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--with-buku", action="store_true")
    parser.add_argument("--parts", nargs="+", choices=PARTS, default=PARTS,
                        help="the tables to measure (all by default)")
    parser.add_argument("--window-baseline", metavar="PROGRAM",
                        help="another build's window program, timed in turns beside this one's")
    options = parser.parse_args()
    os.environ["ZAPTROVE_REGISTRY"] = os.path.join(options.build, "no-such-registry.reg")
    os.environ["LC_ALL"] = "C.UTF-8"
    print("Measured on " + machine())
    folders = {count: corpus(options.build, count) for count in options.scales}
    missed = []
    with tempfile.TemporaryDirectory(dir=options.build) as scratch:
        if "files" in options.parts:
            for count in options.scales:
                rows = rows_for_scale(options.build, count, folders[count], options.with_buku)
                missed += print_table(count, folders[count], rows, options.runs,
                                      os.path.join(scratch, "out"))
        if "stages" in options.parts:
            print_stages(options.build, folders, options.runs)
        if "window" in options.parts:
            missed += print_start(options.build, options.runs, scratch)
            missed += print_window(options.build, folders, options.runs, scratch,
                                   options.window_baseline)
    print("\nTargets missed: " + ("; ".join(missed) if missed else "none"))


if __name__ == "__main__":
    main()
