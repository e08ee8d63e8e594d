#!/bin/sh
# Reports what the test run executed of src/ and fails unless that is every
# line, every function and every branch gcov counts (branches the compiler
# adds for exceptions, or that no input can take, are left out).
#
# Usage: coverage-report.sh gcovr source-dir binary-dir
set -eu
gcovr=$1 source_dir=$2 binary_dir=$3

summary=$("$gcovr" --root "$source_dir" --filter "$source_dir/src/" \
	--exclude-unreachable-branches --exclude-throw-branches \
	--branches --txt "$binary_dir/coverage.txt" \
	--html-details "$binary_dir/coverage.html" --print-summary "$binary_dir")
cat "$binary_dir/coverage.txt"
echo "$summary"
echo "coverage: the report by line is in $binary_dir/coverage.html"
for measure in lines functions branches; do
	if ! echo "$summary" | grep -q "^$measure: 100.0% "; then
		echo "coverage: not every one of the $measure of src/ was executed" >&2
		exit 1
	fi
done
