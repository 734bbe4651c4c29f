#!/usr/bin/env bash
# Formats every C++ source of the repository with its .clang-format; with --check, changes
# nothing and fails (listing the files) when a file differs from its formatted self.
set -uo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format || command -v clang-format-14) || {
  echo "clang-format is not installed" >&2
  exit 1
}
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--check" ]; then
  bad=()
  for f in "${files[@]}"; do
    "$formatter" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'Not formatted: %s\n' "${bad[@]}" >&2
    echo "Run scripts/format.sh to format them." >&2
    exit 1
  fi
  exit 0
fi
"$formatter" -i "${files[@]}"
