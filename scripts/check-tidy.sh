#!/usr/bin/env bash
# Runs clang-tidy with .clang-tidy on every source file of the product (not the tests, benchmarks
# or fuzz targets) that the build compiles here, two at a time; any finding fails.
# Usage: scripts/check-tidy.sh [BUILD_DIR]   (default build; it is configured and built first, as
#        the window's moc files are part of what clang-tidy reads)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

command -v clang-tidy >/dev/null || { echo "clang-tidy is missing: run scripts/install-deps.sh test" >&2; exit 2; }
cmake -S . -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$build" >/dev/null
mapfile -t files < <(python3 - "$build/compile_commands.json" "$PWD" <<'PY'
import json, os, sys
root = sys.argv[2]
product = ("base", "platform", "regexp", "xml", "settings", "services", "ui", "app", "cli")
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.split(os.sep)[0] in product and path.endswith(".cpp"):
        print(path)
PY
)
echo "clang-tidy on ${#files[@]} files"
# Its count of the warnings it left unshown (those of Qt's and the system's headers) is no news.
printf '%s\n' "${files[@]}" | sort -u | xargs -P2 -n4 clang-tidy -p "$build" --quiet 2>&1 | { grep -v 'warnings\? generated\.$' || true; }
echo "clang-tidy found nothing"
