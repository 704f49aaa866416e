#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages one make target needs, when missing. As root it
# installs them; otherwise it prints the command that installs them, for su
# and for sudo.
# Usage: install-deps.sh [build|check|test|fuzz|bench|bench-buku|windows-build|windows|deb|
#                         windows-installer|package]   (default: build)
#   build    cmake, the compiler and Qt 6: what `make build` and `make run` need
#   check    the core's libraries, GoogleTest, clang-format and clang-tidy, no Qt
#            (`make check`)
#   test     build + the test tools (`make test`, `make test-sanitize`, `make test-tsan`)
#   fuzz     build + clang and its libFuzzer runtime (`make fuzz`)
#   bench    build + what the benchmark runs beside the program (`make bench`)
#   bench-buku  bench + buku, whose search the run over all three sources is
#            compared with (`make bench WITH_BUKU=1`)
#   windows-build  the MinGW-w64 cross compiler and what the Windows programs are
#            made from (`make windows`)
#   windows  windows-build + Wine and the end-to-end test's display tools
#            (`make test-windows`)
#   deb      build + Debian's packaging tools (`make deb`)
#   windows-installer  windows-build + the setup's and the zip's makers
#            (`make windows-installer`)
#   package  deb + windows-installer + what checks and installs the packages
#            (`make test-packages`, `make check-reproducible`)
set -euo pipefail

group=${1:-build}
windows_build=(
  cmake make
  gcc tcl xz-utils             # SQLite's one-file source, made from Debian's source package
  g++-mingw-w64-x86-64-posix   # the cross compiler and windres, the resource compiler
  python3                      # packs the program icon
)
build=(
  cmake make g++
  qt6-base-dev      # Qt 6 Widgets; brings the X11 platform plug-in and the GL headers
  qt6-qpa-plugins   # the X11 platform plug-in (xcb)
  qt6-wayland       # the Wayland platform plug-in
  libsqlite3-dev    # the Firefox bookmarks reader
  liburing-dev      # the Favorites walk's runs of files read at once (io_uring)
  libxcb1-dev       # the global hotkey's key grab on X11
)
deb=("${build[@]}" debhelper dpkg-dev) # dpkg-buildpackage and dh
windows_installer=("${windows_build[@]}" nsis zip) # makensis makes the setup
case "$group" in
  build) packages=("${build[@]}") ;;
  check)
    packages=(
      cmake make g++ libsqlite3-dev liburing-dev
      libgtest-dev                 # the unit tests
      locales                      # locale sources for lower-casing tests
      clang-format-14 clang-tidy-14
    )
    ;;
  test)
    packages=(
      "${build[@]}"
      libgtest-dev                                         # the unit tests
      xvfb openbox xdotool xdg-utils x11-utils imagemagick # the end-to-end test
      dbus-daemon                                          # a private bus for the portal hotkey test
      appstream                                            # appstreamcli validates the metainfo
      locales                                              # locale sources for lower-casing tests
    )
    ;;
  fuzz) packages=("${build[@]}" clang libclang-rt-dev) ;; # libFuzzer comes with clang's runtime
  # ripgrep runs the bookmark files' and the Chromium file's counterpart, fd-find the Favorites
  # tree's, sqlite3 the database rows'; Xvfb gives the window an X display, where the X test
  # and damage libraries time its keys from outside; buku's search is compared with the run
  # over all three sources
  bench | bench-buku)
    packages=("${build[@]}" python3 ripgrep fd-find sqlite3 xvfb libx11-dev libxtst-dev libxdamage-dev)
    [ "$group" = bench-buku ] && packages+=(buku)
    ;;
  windows-build) packages=("${windows_build[@]}") ;;
  windows)
    packages=(
      "${windows_build[@]}"
      libgtest-dev                 # GoogleTest's sources
      wine wine64                  # runs the tests
      xvfb openbox trayer          # the end-to-end test: a display, a window manager, a notification area
      xdotool x11-utils xclip imagemagick # ...and what drives, watches and photographs it
    )
    ;;
  deb) packages=("${deb[@]}") ;;
  windows-installer) packages=("${windows_installer[@]}") ;;
  package)
    packages=(
      "${deb[@]}" "${windows_installer[@]}"
      lintian                        # checks the .deb against Debian's policy
      desktop-file-utils appstream   # validate the installed desktop entry and metainfo
      wine wine64 unzip              # run the setup, the installed program, the uninstaller, the zip's program
    )
    ;;
  *)
    echo "install-deps.sh: unknown group '$group' (build, check, test, fuzz, bench, bench-buku," \
      "windows-build, windows, deb, windows-installer or package)" >&2
    exit 2
    ;;
esac

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
  # The line for root works on every Debian; sudo only where it is set up.
  line="apt-get install -y --no-install-recommends ${missing[*]}"
  {
    echo "Missing Debian packages; install them as root, then run this again:"
    echo "  su -c '$line'"
    echo "or, where sudo is set up:"
    echo "  sudo $line"
  } >&2
  exit 1
fi
