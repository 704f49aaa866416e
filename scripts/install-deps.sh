#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building and testing need, when missing.
# As root it installs them; otherwise it prints the one command to run.
# Usage: install-deps.sh [windows]   (windows: what `make test-windows` needs)
set -euo pipefail

if [ "${1:-}" = windows ]; then
  packages=(
    cmake make libgtest-dev                                  # build; GoogleTest's sources
    rapidjson-dev                                            # the Chromium bookmarks reader
    gcc tcl xz-utils                                         # SQLite's one-file source
    g++-mingw-w64-x86-64-posix                               # the cross compiler
    wine wine64                                              # runs the tests
  )
else
  packages=(
    cmake make g++ libgtest-dev                              # build and unit tests
    rapidjson-dev libsqlite3-dev                             # the browser readers
    qt6-base-dev qt6-qpa-plugins libgl-dev libvulkan-dev     # the window
    xvfb openbox xdotool xdg-utils x11-utils imagemagick     # the end-to-end test
    clang libclang-rt-14-dev                                 # fuzzing (libFuzzer)
    python3 sqlite3                                          # the benchmark
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Run:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
