#!/usr/bin/env bash
# Measures one whole run of roster on a 50-student roster: the instructions
# it executes (valgrind's callgrind, which counts instructions, so the
# figure repeats on a busy machine) and its peak resident memory
# (/usr/bin/time).  Then the peak memory with a name of 200 MB, which is
# streamed past and must not raise it.
#
# Usage: bench/bench.sh [path/to/roster]   (default: a fresh release build)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
roster=${1:-}
if [ -z "$roster" ]; then
	cmake --preset release -S "$here" >/dev/null
	cmake --build --preset release >/dev/null
	roster=$here/build/release/roster
fi
for tool in valgrind /usr/bin/time; do
	command -v "$tool" >/dev/null || { echo "bench: $tool is needed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Fifty students with numbers, names of 3 to 9 bytes and marks 0 to 100.
awk 'BEGIN {
	print 50
	split("Ann Benedict Chen Dorothea Eve Fatima Giovanni Hiroshi Ines Jaroslav", names, " ")
	for (i = 1; i <= 50; i++)
		printf "%d %s %d %d %d\n", 2026000 + i, names[(i - 1) % 10 + 1],
		    (i * 37) % 101, (i * 53 + 11) % 101, (i * 71 + 29) % 101
}' >"$work/class.txt"

# The dynamic loader's start-up work grows with the environment, so the
# count is taken in an empty one as well as in this one.
run() { env -i "$@"; }
count() {
	"$@" valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
		"$roster" <"$work/class.txt" >"$work/report.txt" 2>"$work/valgrind.txt"
	sed -n 's/^summary: //p' "$work/callgrind.out"
}
instructions=$(count env -i)
instructions_here=$(count env)
run /usr/bin/time -o "$work/time.txt" -f %M "$roster" <"$work/class.txt" >/dev/null
peak=$(tail -n 1 "$work/time.txt")
{
	echo 1
	printf '1 '
	head -c 200000000 /dev/zero | tr '\0' n
	echo ' 1 2 3'
} | run /usr/bin/time -o "$work/time-name.txt" -f %M "$roster" >/dev/null 2>&1
peak_name=$(tail -n 1 "$work/time-name.txt")

lines=$(($(wc -l <"$work/report.txt") - 2))
verdict() { if [ "$1" -le "$2" ]; then echo "within"; else echo "OVER"; fi; }
printf 'report lines:                %d\n' "$lines"
printf 'instructions, one run:       %d  (target at most 370000: %s)\n' \
	"$instructions" "$(verdict "$instructions" 370000)"
printf '  with this environment:     %d  (%s)\n' \
	"$instructions_here" "$(verdict "$instructions_here" 370000)"
printf 'peak memory:                 %d KiB  (target at most 1638 KiB: %s)\n' \
	"$peak" "$(verdict "$peak" 1638)"
printf 'peak memory, 200 MB name:    %d KiB\n' "$peak_name"
