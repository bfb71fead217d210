#!/usr/bin/env bash
# Installs, with apt-get, whatever Tavrelo needs and the machine lacks.
# Usage: scripts/install-deps.sh [build|test|fuzz|icons|windows]   (default: build)
#   build  compiler, CMake, Ninja, Qt 6, PCRE2, XCB (the X11 clipboard, window and keys; XTEST for
#          the paste keystroke), Google Benchmark
#   test   build + what the window, end-to-end and packaging tests need (virtual X, a window
#          manager, clipboard, pointer, fonts, Python for closing windows; the accessibility bus
#          and a screen reader's client library; the desktop-entry and AppStream validators, man,
#          dpkg-shlibdeps and a reader of Debian's copyright format for the Debian package; the
#          Wayland compositors mutter, kwin and sway with XWayland, i3, Qt's Wayland platform and
#          the Wayland clipboard and screenshot tools; the formatter and the static checker)
#   fuzz   test + clang with its sanitizer and libFuzzer runtime
#   icons  the SVG renderer and ImageMagick for scripts/make-icons.sh
#   windows  build + mingw-w64 (posix threads), wine, NSIS, zip and what fetching and unpacking
#            Debian's source packages takes, for scripts/build-windows.sh; the virtual X display,
#            window manager, clipboard and pointer tools for the Windows tests under wine
set -euo pipefail

kind=${1:-build}
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libpcre2-dev libxcb1-dev libxcb-xtest0-dev libbenchmark-dev)
case "$kind" in
  build) ;;
  test) packages+=(xvfb xdotool xclip x11-utils imagemagick fonts-noto-cjk python3 openbox
                   dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0
                   desktop-file-utils appstream man-db dpkg-dev python3-debian clang-format clang-tidy
                   mutter kwin-wayland kwin-style-breeze sway i3-wm xwayland qt6-wayland wl-clipboard grim
                   libglib2.0-bin procps) ;;
  # libclang-rt-dev follows the default clang, whatever its version.
  fuzz) packages+=(xvfb xdotool xclip x11-utils imagemagick fonts-noto-cjk python3 openbox clang libclang-rt-dev) ;;
  icons) packages=(librsvg2-bin imagemagick) ;;
  windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine64 nsis zip dpkg-dev xz-utils
                      perl xvfb xdotool xclip x11-utils openbox fonts-noto-cjk imagemagick python3) ;;
  *) echo "usage: $0 [build|test|fuzz|icons|windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
