#!/usr/bin/env bash
# Builds what the Windows program links, Qt's qtbase and PCRE2, for x86_64-w64-mingw32 from
# Debian's own source packages, and installs both into one prefix. The caller keys the prefix by
# the versions and by this file, so a change of the recipe builds afresh.
# Usage: packaging/windows/third-party.sh SOURCES_DIR WORK_DIR PREFIX
#   SOURCES_DIR  where the unpacked source packages lie (qtbase/, pcre2/)
set -euo pipefail

sources=$1 work=$2 prefix=$3
here=$(cd "$(dirname "$0")" && pwd)
toolchain=$here/mingw-w64-x86_64.cmake
jobs=$(nproc)
# No library or pkg-config file of the Linux build machine may be picked up.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

cmake -S "$sources/pcre2" -B "$work/pcre2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
  -DPCRE2_BUILD_PCRE2_8=OFF -DPCRE2_BUILD_PCRE2_16=ON -DPCRE2_SUPPORT_JIT=ON -DPCRE2_SUPPORT_UNICODE=ON \
  -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SHOW_REPORT=OFF
cmake --build "$work/pcre2" -j "$jobs"
cmake --install "$work/pcre2"
# A static PCRE2 must be compiled against with PCRE2_STATIC, or its declarations ask for a DLL;
# PCRE2's pkg-config file leaves that to its users.
sed -i '/^Cflags:/ s/$/ -DPCRE2_STATIC/' "$prefix/lib/pkgconfig/libpcre2-16.pc"

# qtbase with what the palette, the command line and the Qt Test suites use: Core, Gui, Widgets,
# Test, the windows, offscreen and minimal platforms and the Vista style. OpenGL is off with
# dynamicgl (off alone does not build qwindowswindow.cpp); Debian's tarball lacks wintab, hence no
# tablet events. Image and font libraries are Qt's bundled copies. The host tools (moc, rcc, uic)
# are Debian's qt6-base-dev.
# Left out as well, 120 of the 935 files compiled: the Direct2D platform plug-in, a second windows
# platform that nothing loads (58 files); the widgets, dialogs and models that neither the
# program nor its tests use (the graphics view alone is 31); the document writers and readers,
# the undo framework, the ICO plug-in. Direct2D itself stays: Qt 6.4 builds the DirectWrite font
# database, which the windows platform uses, only with it. The Vista style includes the headers
# of QInputDialog, QComboBox and the tool bar, which therefore stay too.
features_off=(opengl dynamicgl dbus sql network concurrent xml printsupport vulkan tabletevent
              jpeg gif icu zstd ico direct2d1_1
              graphicsview mdiarea calendarwidget datetimeedit dial lcdnumber fontcombobox fontdialog
              colordialog filedialog wizard columnview datawidgetmapper undoview undostack undogroup
              undocommand keysequenceedit splashscreen syntaxhighlighter toolbox filesystemmodel
              textodfwriter textmarkdownreader textmarkdownwriter pdf movie systemtrayicon sessionmanager)
bundled=(zlib pcre2 harfbuzz freetype png doubleconversion)
args=()
for f in "${features_off[@]}"; do args+=("-DFEATURE_$f=OFF"); done
for f in "${bundled[@]}"; do args+=("-DFEATURE_system_$f=OFF"); done
cmake -S "$sources/qtbase" -B "$work/qtbase" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_accessibility=ON \
  "${args[@]}"
cmake --build "$work/qtbase" -j "$jobs"
cmake --install "$work/qtbase"
