#!/usr/bin/env bash
# Every C++ file of the project as .clang-format lays it out. Lists the files that differ and
# how to mend them. Exit status 77: skipped (no clang-format on this machine).
set -euo pipefail
root=$1
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed: skipped"
    exit 77
fi
cd "$root"
mapfile -t files < <(find src tests bench services tools -name '*.cpp' -o -name '*.h' | sort)
differing=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        differing+=("$file")
    fi
done
if [ ${#differing[@]} -gt 0 ]; then
    printf 'Not laid out as .clang-format says:\n'
    printf '  %s\n' "${differing[@]}"
    printf 'Mend with: clang-format -i %s\n' "${differing[*]}"
    exit 1
fi
echo "${#files[@]} files laid out as .clang-format says"
