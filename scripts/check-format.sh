#!/usr/bin/env bash
# Checks that every C++ file git tracks is formatted as .clang-format says, and names the files
# that are not; with --fix, formats them. Generated files are left as their generators write them.
# Usage: scripts/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."

fix=false
case "${1:-}" in
  "") ;;
  --fix) fix=true ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac
command -v clang-format >/dev/null || { echo "clang-format is missing: run scripts/install-deps.sh test" >&2; exit 2; }

# Written by tests/regexp/conformance/identifier_table.js.
generated='^regexp/EcmaIdentifierTable\.h$'
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -Ev "$generated")

if $fix; then
  clang-format -i --style=file "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror --style=file "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'not formatted as .clang-format says:\n' >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  printf 'fix: scripts/check-format.sh --fix   (or clang-format -i FILE)\n' >&2
  exit 1
fi
echo "all ${#files[@]} C++ files are formatted"
