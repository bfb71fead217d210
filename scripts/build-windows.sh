#!/usr/bin/env bash
# Builds Tavrelo for 64-bit Windows on Debian, with Debian's mingw-w64: Qt's qtbase and PCRE2 from
# Debian's own source packages (once, into a cache outside the tree), then tavrelo.exe,
# tavrelo-cli.exe and the test programs, a folder ready to run, its zip and the NSIS installer.
# Usage: scripts/build-windows.sh [BUILD_DIR]   (default build-win)
# Environment: TAVRELO_WINDOWS_CACHE, the cache folder (default ~/.cache/tavrelo-windows).
# Writes BUILD_DIR/stage/tavrelo-VERSION/, BUILD_DIR/tavrelo-VERSION-windows-x64.zip and
# BUILD_DIR/tavrelo-VERSION-setup.exe, and BUILD_DIR/windows-env.sh, which the Windows tests source.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/${1:-build-win}
cache=${TAVRELO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrelo-windows}
mingw=x86_64-w64-mingw32
version=$(sed -n 's/^project(Tavrelo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

timings=()
# step NAME COMMAND...: runs the command and keeps its time for the summary.
step() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@"
  timings+=("$(printf '%6d s  %s' $((SECONDS - start)) "$name")")
}
print_timings() {
  [ ${#timings[@]} -gt 0 ] && printf 'Windows build, time of each step:\n' && printf '%s\n' "${timings[@]}"
}
trap print_timings EXIT

# --- Debian's source packages -------------------------------------------------------------------
# A private APT state whose deb-src entries are made from the system's own Debian entries, so that
# the machine's configuration stays as it is.
apt_dir=$cache/apt
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o Debug::NoDropPrivs=true -o APT::Sandbox::User=root)

write_source_entries() {
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" } /URIs:[^\n]*\/debian/ && /Types:[^\n]*deb/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$file"
  done >"$apt_dir/sources.list.d/debian.sources"
  # One-line entries become deb-src lines.
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$file" ] || continue
    sed -n 's/^deb \(.*\/debian.*\)/deb-src \1/p' "$file"
  done >"$apt_dir/sources.list"
  [ -s "$apt_dir/sources.list.d/debian.sources" ] || [ -s "$apt_dir/sources.list" ] ||
    { echo "no Debian entry in /etc/apt to make deb-src entries from" >&2; exit 1; }
}

# fetch_source PACKAGE: the newest version whose files can be had, kept in the cache; prints it.
fetch_source() {
  local package=$1 version
  mkdir -p "$cache/sources"
  for version in $(apt-cache "${apt_options[@]}" showsrc "$package" | sed -n 's/^Version: //p' | sort -V -r -u); do
    if [ -e "$cache/sources/${package}_${version#*:}.dsc" ] ||
       (cd "$cache/sources" && apt-get "${apt_options[@]}" -qq source --download-only "$package=$version" >&2); then
      echo "$version"
      return 0
    fi
    echo "   $package $version cannot be downloaded; trying an older version" >&2
  done
  echo "no source package $package can be downloaded" >&2
  return 1
}

qt_version= pcre2_version=
fetch_sources() {
  write_source_entries
  if apt-get "${apt_options[@]}" -qq update; then
    qt_version=$(fetch_source qt6-base)
    pcre2_version=$(fetch_source pcre2)
  else
    # Offline: the newest sources already in the cache.
    qt_version=$(find "$cache/sources" -name 'qt6-base_*.dsc' 2>/dev/null | sed 's/.*qt6-base_\(.*\)\.dsc/\1/' | sort -V | tail -n1)
    pcre2_version=$(find "$cache/sources" -name 'pcre2_*.dsc' 2>/dev/null | sed 's/.*pcre2_\(.*\)\.dsc/\1/' | sort -V | tail -n1)
    [ -n "$qt_version" ] && [ -n "$pcre2_version" ] || { echo "cannot reach Debian's sources and none are cached" >&2; exit 1; }
  fi
  echo "   qt6-base $qt_version, pcre2 $pcre2_version"
}

# --- Qt and PCRE2 for Windows, once per versions and recipe ----------------------------------------
prefix=
third_party() {
  local recipe key work
  recipe=$(cat packaging/windows/third-party.sh packaging/windows/mingw-w64-x86_64.cmake; "$mingw-g++-posix" --version | head -n1)
  key=$(printf 'qt6-base %s\npcre2 %s\n%s' "$qt_version" "$pcre2_version" "$recipe" | sha256sum | cut -c1-16)
  prefix=$cache/qt-${qt_version//[:+~]/_}-pcre2-${pcre2_version//[:+~]/_}-$key
  # Another build on this machine may be making the same prefix: one at a time.
  exec 9>"$cache/.lock-$key"
  flock 9
  if [ -e "$prefix/.complete" ]; then
    echo "   cached in $prefix"
    exec 9>&-
    return 0
  fi
  work=$cache/work-$key
  rm -rf "$prefix" "$work"
  mkdir -p "$work/sources"
  local package
  for package in "qt6-base_${qt_version#*:}:qtbase" "pcre2_${pcre2_version#*:}:pcre2"; do
    dpkg-source --no-check -x "$cache/sources/${package%%:*}.dsc" "$work/sources/${package#*:}" >>"$work/unpack.log" 2>&1 ||
      { cat "$work/unpack.log" >&2; exit 1; }
  done
  # Below other work in priority: in CI the native steps' tests, which wait for windows and the
  # clipboard against deadlines, run beside this build (under its load a palette once missed the
  # 20 s an end-to-end test gives it to appear).
  nice -n 10 packaging/windows/third-party.sh "$work/sources" "$work" "$prefix" >"$work/build.log" 2>&1 ||
    { grep -E "^FAILED|error:|Error" "$work/build.log" | tail -n 30 >&2; echo "building Qt and PCRE2 failed; the log is $work/build.log" >&2; exit 1; }
  touch "$prefix/.complete"
  rm -rf "$work"
  exec 9>&-
  echo "   installed into $prefix ($(du -sh "$prefix" | cut -f1))"
}

# --- Tavrelo ---------------------------------------------------------------------------------------
# The mingw runtime DLLs of the posix thread model, where the compiler keeps them.
runtime_dlls() {
  local dll
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    local path
    path=$("$mingw-g++-posix" -print-file-name="$dll")
    [ "$path" != "$dll" ] || path=/usr/$mingw/lib/$dll
    [ -e "$path" ] || { echo "the runtime library $dll is missing" >&2; exit 1; }
    echo "$path"
  done
}

build_tavrelo() {
  PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH='' cmake -S . -B "$out" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/packaging/windows/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DTAVRELO_WERROR=ON -DTAVRELO_BUILD_BENCH=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tests/windows/wine-run.sh;--env;$out/windows-env.sh" >/dev/null
  nice -n 10 cmake --build "$out"
  # What the tests under wine need to find: Qt's and the runtime's DLLs.
  local dll_folders=("$prefix/bin") dll
  while read -r dll; do dll_folders+=("$(dirname "$dll")"); done < <(runtime_dlls)
  cat >"$out/windows-env.sh" <<ENV
# Made by scripts/build-windows.sh: what the Windows programs of this build need under wine.
export TAVRELO_WINDOWS_DLL_PATH="$(printf '%s\n' "${dll_folders[@]}" | sort -u | paste -sd: -)"
export TAVRELO_WINDOWS_STAGE="$out/stage/tavrelo-$version"
export TAVRELO_WINDOWS_SETUP="$out/tavrelo-$version-setup.exe"
ENV
}

stage_folder() {
  local stage=$out/stage/tavrelo-$version
  rm -rf "$out/stage"
  mkdir -p "$stage/platforms" "$stage/styles"
  cp "$out/app/tavrelo.exe" "$out/cli/tavrelo-cli.exe" "$stage/"
  cp "$prefix"/bin/Qt6{Core,Gui,Widgets}.dll "$stage/"
  cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
  cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
  cp $(runtime_dlls) "$stage/"
  find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$mingw-strip" --strip-unneeded
  # The portable folder reads the example beside the program; the installer puts it into the
  # user's own folder instead.
  cp examples/tavrelo.xml "$stage/tavrelo.xml"
  sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
  echo "   $stage: $(du -sh "$stage" | cut -f1)"
}

make_zip() {
  local zip=$out/tavrelo-$version-windows-x64.zip
  rm -f "$zip"
  (cd "$out/stage" && zip -qr -9 "$zip" "tavrelo-$version")
  echo "   $zip: $(du -h "$zip" | cut -f1)"
}

# The installer's file lists, from the folder ready to run: what is installed is what the
# uninstaller removes. The example is not among them: it goes to the user's folder.
write_installer_lists() {
  local stage=$1 lists=$2 folder file native
  mkdir -p "$lists"
  : >"$lists/install-files.nsh"
  : >"$lists/uninstall-files.nsh"
  while read -r folder; do
    native=${folder#.}
    native=${native//\//\\}
    echo "SetOutPath \"\$INSTDIR$native\"" >>"$lists/install-files.nsh"
    while read -r file; do
      [ "$folder/$file" = ./tavrelo.xml ] && continue
      echo "File \"$stage/$folder/$file\"" >>"$lists/install-files.nsh"
      echo "Delete \"\$INSTDIR$native\\$file\"" >>"$lists/uninstall-files.nsh"
    done < <(cd "$stage/$folder" && find . -maxdepth 1 -type f -printf '%f\n' | sort)
    [ "$folder" = . ] || echo "RMDir \"\$INSTDIR$native\"" >>"$lists/uninstall-files.nsh"
  done < <(cd "$stage" && find . -type d | sort)
}

make_installer() {
  local stage=$out/stage/tavrelo-$version setup=$out/tavrelo-$version-setup.exe
  write_installer_lists "$stage" "$out/installer"
  makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$out/installer" -DOUTFILE="$setup" \
    -DICON="$root/packaging/icons/tavrelo.ico" packaging/windows/tavrelo.nsi
  echo "   $setup: $(du -h "$setup" | cut -f1)"
}

step "installing the build tools" scripts/install-deps.sh windows
step "Debian's source packages" fetch_sources
step "Qt and PCRE2 for Windows" third_party
step "tavrelo.exe, tavrelo-cli.exe and the tests" build_tavrelo
step "the folder ready to run" stage_folder
step "the zip" make_zip
step "the installer" make_installer
