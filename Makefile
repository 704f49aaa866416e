# SPDX-License-Identifier: MIT
# The two newcomer commands: `make run` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
TERM_TO_FIND ?= news
JOBS ?= $(shell nproc)
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_BUILD ?= build-bench
WINDOWS_BUILD ?= build-windows
# CI builds with warnings as errors.
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(if $(filter true,$(CI)),-DZAPTROVE_WERROR=ON)

.PHONY: all deps build run demo test test-sanitize test-windows test-large fuzz bench format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/zaptrove

# The search engine from the command line, on the demo bookmarks.
demo: build
	$(BUILD)/zaptrove-find --favorites demo/Favorites --netscape demo/bookmarks.html \
	  --opera demo/bookmarks.adr --by both $(TERM_TO_FIND)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) $(CMAKE_FLAGS) -DZAPTROVE_SANITIZE=address,undefined
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The core, zaptrove-find and their tests cross-compiled for Windows with
# MinGW-w64 and run under Wine in a throwaway prefix (no window, no display).
# SQLite is built from Debian's source package, fetched once.
test-windows:
	@bash scripts/install-deps.sh windows
	bash scripts/sqlite-amalgamation.sh $(WINDOWS_BUILD)/sqlite
	cmake -S . -B $(WINDOWS_BUILD) $(CMAKE_FLAGS) -DZAPTROVE_WINDOW=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DZAPTROVE_SQLITE_AMALGAMATION=$(abspath $(WINDOWS_BUILD))/sqlite
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	bash scripts/test-windows.sh $(WINDOWS_BUILD) $(JOBS)

# A 1 GB Netscape file and a Favorites tree of 200,000 files: minutes, not run by `test`.
test-large: build
	$(BUILD)/tests/large_input_test

# Each fuzz target for FUZZ_SECONDS seconds, one after the other (libFuzzer, clang).
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DCMAKE_CXX_COMPILER=clang++ -DZAPTROVE_FUZZ=ON \
	  -DZAPTROVE_TESTS=OFF -DZAPTROVE_SANITIZE=address,undefined
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	bash fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Speed beside grep and find on generated corpora, in release mode (see
# docs/PERFORMANCE.md); the corpora stay in $(BENCH_BUILD)/corpora. Not run by `test`.
bench: deps
	cmake -S bench -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target zaptrove-find zaptrove-stage-times
	python3 bench/run_bench.py $(BENCH_BUILD) $(if $(WITH_BUKU),--with-buku)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
