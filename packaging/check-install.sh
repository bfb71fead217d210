#!/usr/bin/env bash
# Installs the build into a staging folder and checks the result as a user and a distribution
# would: the validators accept the desktop entry and the AppStream metadata, the man pages render
# without warnings, and both programs, started from bin/ or through a link, find the example.
# Usage: check-install.sh <build folder>
set -uo pipefail

build=${1:?usage: $0 <build folder>}
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in desktop-file-validate appstreamcli man cpack dpkg-deb /usr/bin/python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh test"
done

work=$(mktemp -d)
palette_pid=
cleanup() {
  [ -n "$palette_pid" ] && { kill "$palette_pid" 2>/dev/null; wait "$palette_pid" 2>/dev/null; }
  declare -F stop_virtual_display >/dev/null && stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

# A staging folder: whatever the configured prefix, nothing lands outside it.
DESTDIR="$work/root" cmake --install "$build" >/dev/null || fail "cmake --install failed"
bin=$(dirname "$(find "$work/root" -path '*/bin/tavrelo-cli' | head -n1)")
[ -x "$bin/tavrelo-cli" ] || fail "no bin/tavrelo-cli installed"
share=$(dirname "$bin")/share
echo "ok: installed into $(dirname "$bin")"

for file in "$share/applications/io.github.tavrelo.Tavrelo.desktop"; do
  [ -f "$file" ] || fail "missing $file"
  out=$(desktop-file-validate "$file" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
done
echo "ok: desktop-file-validate accepts the desktop entry"
appstreamcli validate --no-net "$share/metainfo/io.github.tavrelo.Tavrelo.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli rejects the metainfo"; }
echo "ok: appstreamcli validate --no-net accepts the metainfo"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256 scalable; do
  ls "$share/icons/hicolor/$size/apps/tavrelo."* >/dev/null 2>&1 || fail "no $size icon"
done
echo "ok: icons in every size"

for page in tavrelo tavrelo-cli; do
  file="$share/man/man1/$page.1.gz"
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
  MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "EXIT STATUS" || fail "man $page renders no EXIT STATUS"
done
echo "ok: the man pages render without warnings"

# The Debian package, as dpkg and Debian's tools read it.
(cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -n1)
[ -f "$deb" ] || fail "cpack made no .deb"
# Every caption is Japanese: without a font with kana and kanji it is a row of empty boxes.
depends=$(dpkg-deb -f "$deb" Depends)
tr ',' '\n' <<<"$depends" | grep -Eq '^ *fonts-noto-cjk( \| fonts-[a-z0-9-]+)* *$' ||
  fail "the package does not depend on a Japanese font (fonts-noto-cjk or another): Depends: $depends"
echo "ok: the package depends on a Japanese font: $(tr ',' '\n' <<<"$depends" | grep fonts- | sed 's/^ *//')"
dpkg-deb -x "$deb" "$work/unpacked"
# Into /usr whatever prefix the build was configured with, the example into /etc/xdg, where the
# programs look for it when they lie in /usr/bin.
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:[A-Z]*=//p' "$build/CMakeCache.txt")
outside=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | grep -Ev '^\./usr/|^\./etc/xdg/tavrelo/tavrelo\.xml$')
[ -z "$outside" ] || fail "the package (of a build for $prefix) puts files outside /usr: $outside"
for file in usr/bin/tavrelo-cli etc/xdg/tavrelo/tavrelo.xml; do
  [ -f "$work/unpacked/$file" ] || fail "the package (of a build for $prefix) has no /$file"
done
dpkg-deb -I "$deb" conffiles 2>/dev/null | grep -qx /etc/xdg/tavrelo/tavrelo.xml ||
  fail "the package does not mark /etc/xdg/tavrelo/tavrelo.xml as a configuration file"
# The packaged program in /usr/bin, in a mount namespace of its own so that nothing is installed:
# the package's /usr/bin and /etc/xdg over the machine's; the desktop's folders are elsewhere, so
# only the installation's own place can answer.
if unshare -rm true 2>/dev/null; then
  first=$(cd / && XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/system-config" unshare -rm sh -c \
    'mount --bind "$1/etc/xdg" /etc/xdg && mount --bind "$1/usr/bin" /usr/bin && exec /usr/bin/tavrelo-cli items' \
    sh "$work/unpacked" | head -n1)
  [ "$first" = $'0\t今日の日付\ttext' ] ||
    fail "the packaged tavrelo-cli in /usr/bin (a build for $prefix) does not read /etc/xdg/tavrelo/tavrelo.xml: '$first'"
  echo "ok: the package of a build for $prefix installs into /usr, its tavrelo-cli in /usr/bin reads /etc/xdg/tavrelo/tavrelo.xml"
else
  echo "ok: the package of a build for $prefix installs into /usr (no mount namespace here to run its programs from /usr/bin)"
fi
pages=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep '/man/')
for page in tavrelo.1 tavrelo-cli.1; do
  grep -q "/man1/$page\.gz\$" <<<"$pages" || fail "the package has no gzipped man page $page.gz: $pages"
  gzip -t "$work/unpacked/$(grep "/man1/$page\.gz\$" <<<"$pages")" || fail "$page.gz is not gzip"
done
! grep -q '\.1$' <<<"$pages" || fail "the package has uncompressed man pages: $pages"
echo "ok: the man pages are gzipped"
copyright=$(find "$work/unpacked" -path '*/share/doc/tavrelo/copyright')
[ -f "$copyright" ] || fail "the package has no share/doc/tavrelo/copyright"
/usr/bin/python3 - "$copyright" "$(dirname "$here")/LICENSE" <<'PY' || fail "the copyright file is not in Debian's machine-readable format"
import sys
from debian.copyright import Copyright
with open(sys.argv[1], encoding="utf-8") as f:
    copyright = Copyright(f, strict=True)
files = copyright.find_files_paragraph("usr/bin/tavrelo")
assert files is not None, "no Files paragraph covers the programs"
license = files.license
text = license.text or next(p.license.text for p in copyright.all_license_paragraphs() if p.license.synopsis == license.synopsis)
with open(sys.argv[2], encoding="utf-8") as f:
    body = f.read()
assert license.synopsis == "Expat", license.synopsis
assert " ".join(text.split()) in " ".join(body.split()), "the licence text differs from LICENSE"
assert files.copyright and "Tavrelo authors" in files.copyright, files.copyright
PY
echo "ok: the copyright file is in Debian's machine-readable format, with the licence of LICENSE"

# The machine's own configuration folders must not answer for the installed example.
export XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/system-config"
mkdir -p "$work/link"
ln -s "$bin/tavrelo-cli" "$work/link/tavrelo-cli"
for program in "$bin/tavrelo-cli" "$work/link/tavrelo-cli"; do
  first=$(cd / && "$program" items | head -n1)
  [ "$first" = $'0\t今日の日付\ttext' ] || fail "$program items does not read the installed example: '$first'"
done
echo "ok: tavrelo-cli reads the installed example, from bin/ and through a link"

if [ ! -x "$bin/tavrelo" ]; then
  echo "PASS (the palette is not built)"
  exit 0
fi
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || fail "Xvfb or xdotool is missing: run scripts/install-deps.sh test"
. "$here/../scripts/virtual-display.sh"
start_virtual_display || fail "no free display among :90 to :99"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
ln -s "$bin/tavrelo" "$work/link/tavrelo"
(cd / && QT_QPA_PLATFORM=xcb exec "$work/link/tavrelo") &
palette_pid=$!
# The example's caption; without the file a box would come first and the caption would differ.
timeout 20 xdotool search --sync --onlyvisible --pid "$palette_pid" --name '^Tavrelo ver1\.0\.0$' >/dev/null ||
  fail "the installed palette, started through a link, did not show the example's caption"
echo "ok: the installed palette, started through a link, reads the installed example"
echo "PASS: install"
