# The two newcomer commands: `make run` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
TERM_TO_FIND ?= news
JOBS ?= $(shell nproc)
# CI builds with warnings as errors.
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(if $(filter true,$(CI)),-DZAPTROVE_WERROR=ON)

.PHONY: all deps build run demo test format clean

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

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
