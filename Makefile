# SPDX-License-Identifier: MIT
# The two newcomer commands: `make run` and `make test`.
BUILD ?= build
CHECK_BUILD ?= build-check
BUILD_TYPE ?= RelWithDebInfo
TERM_TO_FIND ?= news
JOBS ?= $(shell nproc)
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_BUILD ?= build-bench
WINDOWS_BUILD ?= build-windows
WINDOWS_RELEASE_BUILD ?= build-windows-release
RELEASE_BUILD ?= build-release
TSAN_BUILD ?= build-tsan
CLANG_FORMAT ?= clang-format-14
CLANG_TIDY ?= run-clang-tidy-14
DEB_BUILD ?= build-deb
WINDOWS_INSTALLER_BUILD ?= build-windows-installer
REPRODUCIBLE_BUILD ?= build-reproducible
# CI builds with warnings as errors.
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(if $(filter true,$(CI)),-DZAPTROVE_WERROR=ON)
# The test programs the ThreadSanitizer run builds and runs: the threaded search,
# the Chromium and Firefox readers' two halves, the window that starts a search,
# and the mapped file's helper thread.
TSAN_TESTS := search_run_test favorites_reader_test chromium_reader_test firefox_reader_test \
  shared_work_test shell_test main_window_test chunked_scan_test use_order_test
space := $(subst ,, )

.PHONY: all deps test-deps build run demo check test test-release test-sanitize test-tsan \
  windows test-windows test-large fuzz bench format clean
.PHONY: deb windows-installer test-packages check-reproducible

all: build

# What building the programs needs; the test targets add the test tools.
deps:
	@bash scripts/install-deps.sh build

test-deps:
	@bash scripts/install-deps.sh test

# The tests are built too when GoogleTest is installed.
build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Both programs; the window only where there is a display to show it on.
run: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target zaptrove zaptrove-find
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to show the window on (DISPLAY and WAYLAND_DISPLAY are unset); $(BUILD)/zaptrove-find works without one."; \
	  exit 1; \
	fi
	$(BUILD)/zaptrove

# The search engine from the command line, on the demo bookmarks.
demo: build
	$(BUILD)/zaptrove-find --favorites demo/Favorites --netscape demo/bookmarks.html \
	  --opera demo/bookmarks.adr --by both $(TERM_TO_FIND)

# The first leg of CI, a few minutes: the core and zaptrove-find built without
# the window and their tests run, every tracked source checked against
# .clang-format, and clang-tidy's checks of .clang-tidy over the build's
# compile database.
check:
	@bash scripts/install-deps.sh check
	cmake -S . -B $(CHECK_BUILD) $(CMAKE_FLAGS) -DZAPTROVE_WINDOW=OFF -DZAPTROVE_TESTS=ON
	cmake --build $(CHECK_BUILD) -j $(JOBS)
	ctest --test-dir $(CHECK_BUILD) --output-on-failure -j $(JOBS)
	git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) --dry-run -Werror
	$(CLANG_TIDY) -p $(CHECK_BUILD) -quiet -j $(JOBS)

test: test-deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DZAPTROVE_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Every test on a Release build with warnings as errors: what the optimiser
# warns about and the code it produces, checked beside the usual build.
test-release: test-deps
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DZAPTROVE_WERROR=ON -DZAPTROVE_TESTS=ON
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	ctest --test-dir $(RELEASE_BUILD) --output-on-failure -j $(JOBS)

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: test-deps
	cmake -S . -B $(SANITIZE_BUILD) $(CMAKE_FLAGS) -DZAPTROVE_TESTS=ON -DZAPTROVE_SANITIZE=address,undefined
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The threaded parts (the search, the shell, the window) under ThreadSanitizer;
# a data race fails the test that ran into it.
test-tsan: test-deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_FLAGS) -DZAPTROVE_TESTS=ON -DZAPTROVE_SANITIZE=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TESTS)
	TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp ctest --test-dir $(TSAN_BUILD) \
	  --output-on-failure -j $(JOBS) -L '^($(subst $(space),|,$(strip $(TSAN_TESTS))))$$'

# zaptrove.exe and zaptrove-find.exe for 64-bit Windows, cross-compiled with
# MinGW-w64: each one statically linked file, stripped, in $(WINDOWS_RELEASE_BUILD).
windows:
	@bash scripts/install-deps.sh windows-build
	bash scripts/sqlite-amalgamation.sh $(WINDOWS_BUILD)/sqlite
	cmake -S . -B $(WINDOWS_RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DZAPTROVE_TESTS=OFF \
	  $(if $(filter true,$(CI)),-DZAPTROVE_WERROR=ON) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DZAPTROVE_SQLITE_AMALGAMATION=$(abspath $(WINDOWS_BUILD))/sqlite
	cmake --build $(WINDOWS_RELEASE_BUILD) -j $(JOBS) --target zaptrove zaptrove-find
	@ls -l $(WINDOWS_RELEASE_BUILD)/zaptrove.exe $(WINDOWS_RELEASE_BUILD)/zaptrove-find.exe

# The core, zaptrove-find and their tests cross-compiled for Windows with
# MinGW-w64 and run under Wine in a throwaway prefix (no window, no display).
# SQLite is built from Debian's source package, fetched once.
test-windows:
	@bash scripts/install-deps.sh windows
	bash scripts/sqlite-amalgamation.sh $(WINDOWS_BUILD)/sqlite
	cmake -S . -B $(WINDOWS_BUILD) $(CMAKE_FLAGS) -DZAPTROVE_WINDOW=ON -DZAPTROVE_TESTS=ON \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DZAPTROVE_SQLITE_AMALGAMATION=$(abspath $(WINDOWS_BUILD))/sqlite
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	bash scripts/test-windows.sh $(WINDOWS_BUILD) $(JOBS)

# The Debian package of both programs, built by dpkg-buildpackage from the files
# git tracks, into $(DEB_BUILD).
deb:
	@bash scripts/install-deps.sh deb
	bash scripts/build-deb.sh $(DEB_BUILD) $(JOBS)

# The Windows setup and the portable zip of `make windows`'s programs, into
# $(WINDOWS_INSTALLER_BUILD).
windows-installer: windows
	@bash scripts/install-deps.sh windows-installer
	bash scripts/build-windows-installer.sh $(WINDOWS_RELEASE_BUILD) $(WINDOWS_INSTALLER_BUILD)

# Both packages built, then installed, run and removed: the .deb in a throwaway
# root, the setup under Wine in a throwaway prefix.
test-packages: deb windows-installer
	@bash scripts/install-deps.sh package
	bash scripts/test-deb.sh $(DEB_BUILD)
	bash scripts/test-windows-installer.sh $(WINDOWS_INSTALLER_BUILD)

# Both packages built twice from two clones of the commit checked out, and
# compared byte for byte. Not run by CI: it builds everything twice.
check-reproducible:
	@bash scripts/install-deps.sh package
	bash scripts/check-reproducible.sh $(REPRODUCIBLE_BUILD) $(JOBS)

# A 1 GB Netscape file and a Favorites tree of 200,000 files: minutes, not run by `test`.
test-large:
	@bash scripts/install-deps.sh build
	cmake -S bench -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target zaptrove-large-input
	$(BENCH_BUILD)/zaptrove-large-input $(BENCH_BUILD)/large-input

# Each fuzz target for FUZZ_SECONDS seconds, one after the other (libFuzzer, clang).
fuzz:
	@bash scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DCMAKE_CXX_COMPILER=clang++ -DZAPTROVE_FUZZ=ON \
	  -DZAPTROVE_TESTS=OFF -DZAPTROVE_SANITIZE=address,undefined
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	bash fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Speed beside grep and find on generated corpora, in release mode (see
# docs/PERFORMANCE.md); the corpora stay in $(BENCH_BUILD)/corpora. Not run by `test`.
bench:
	@bash scripts/install-deps.sh $(if $(WITH_BUKU),bench-buku,bench)
	cmake -S bench -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target zaptrove zaptrove-find zaptrove-stage-times \
	  zaptrove-window-times
	python3 bench/run_bench.py $(BENCH_BUILD) $(if $(WITH_BUKU),--with-buku)

format:
	git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) -i

clean:
	rm -rf $(BUILD) $(CHECK_BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD) \
	  $(BENCH_BUILD) $(WINDOWS_BUILD) $(WINDOWS_RELEASE_BUILD)
	rm -rf $(DEB_BUILD) $(WINDOWS_INSTALLER_BUILD) $(REPRODUCIBLE_BUILD)
