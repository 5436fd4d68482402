#!/bin/bash
# Imports the same small PDFs with Lirenta (everything but the online look-up) and with
# Calibre's `calibredb add -r`, then the same real PDFs with their first-page covers, then
# searches Calibre's library, and prints the figures side by side. Usage: bash bench/compare-calibre.sh [books]   (default 100; Calibre manages about
# three books a second, so large numbers take a while). Needs a build (scripts/build.sh).
set -euo pipefail
count="${1:-100}"
here="$(cd "$(dirname "$0")/.." && pwd)"
bench="$here/build/bench/BenchLibrary"
if ! command -v calibredb >/dev/null; then
    echo "calibredb is not installed: nothing to compare with." >&2
    exit 1
fi
[ -x "$bench" ] || { echo "Build first: bash scripts/build.sh" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

ours="$("$bench" --import-only "$count" "$work/ours-pdfs" | grep -o '[0-9.]* ms per book' | cut -d' ' -f1)"

# Calibre gets its own copy of identical files, written the same way.
"$bench" --import-only "$count" "$work/calibre-pdfs" >/dev/null
start=$(date +%s%N)
HOME="$work/home" calibredb add -r --library-path "$work/calibre-library" "$work/calibre-pdfs" >/dev/null 2>&1
end=$(date +%s%N)
theirs=$(awk -v ns=$((end - start)) -v n="$count" 'BEGIN { printf "%.2f", ns / 1e6 / n }')

start=$(date +%s%N)
HOME="$work/home" calibredb search --library-path "$work/calibre-library" "title:\"book 7\"" >/dev/null 2>&1 || true
end=$(date +%s%N)
search=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.0f", ns / 1e6 }')

ratio=$(awk -v a="$theirs" -v b="$ours" 'BEGIN { printf "%.0f", a / b }')

# Real two-page PDFs whose covers both render from the first page: Lirenta's time runs until the
# last cover is stored.
ours_covers="$("$bench" --import-only "$count" "$work/ours-real" --with-covers | grep -o '[0-9.]* ms per book' | cut -d' ' -f1)"
"$bench" --import-only "$count" "$work/calibre-real" --with-covers --write-only >/dev/null
start=$(date +%s%N)
HOME="$work/home" calibredb add -r --library-path "$work/calibre-library-real" "$work/calibre-real" >/dev/null 2>&1
end=$(date +%s%N)
theirs_covers=$(awk -v ns=$((end - start)) -v n="$count" 'BEGIN { printf "%.2f", ns / 1e6 / n }')
ratio_covers=$(awk -v a="$theirs_covers" -v b="$ours_covers" 'BEGIN { printf "%.0f", a / b }')

# Real-looking PDFs and EPUBs that describe themselves: both programs read each book's metadata
# and make its cover; Lirenta as "Import Without Look-up" does it.
import="$here/build/bench/BenchImport"
"$import" --write "$count" "$work/ours-mixed" >/dev/null
"$import" --write "$count" "$work/calibre-mixed" >/dev/null
ours_mixed="$(HOME="$work/ours-home" "$import" --import "$work/ours-mixed" | grep -o '[0-9.]* ms per book' | cut -d' ' -f1)"
start=$(date +%s%N)
HOME="$work/home" calibredb add -r --library-path "$work/calibre-library-mixed" "$work/calibre-mixed" >/dev/null 2>&1
end=$(date +%s%N)
theirs_mixed=$(awk -v ns=$((end - start)) -v n="$count" 'BEGIN { printf "%.2f", ns / 1e6 / n }')
ratio_mixed=$(awk -v a="$theirs_mixed" -v b="$ours_mixed" 'BEGIN { printf "%.0f", a / b }')

echo "import of $count PDFs and EPUBs with metadata read and covers made, per book: Lirenta $ours_mixed ms, calibredb add -r $theirs_mixed ms (Lirenta ${ratio_mixed}x faster)"
echo "import of $count small PDFs, per book: Lirenta $ours ms, calibredb add -r $theirs ms (Lirenta ${ratio}x faster)"
echo "import of $count real PDFs with first-page covers, per book: Lirenta $ours_covers ms, calibredb add -r $theirs_covers ms (Lirenta ${ratio_covers}x faster)"
echo "one search: calibredb search $search ms (a process per search; Lirenta's keystrokes: see BenchLibrary)"
