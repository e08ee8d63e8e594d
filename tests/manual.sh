#!/bin/sh
# Checks that the manual page renders without a single warning and has
# the sections a user looks for.
#
# Usage: manual.sh path/to/roster.1   (exits 77, "skipped", without groff)
set -eu

page=$1
if ! command -v groff >/dev/null 2>&1; then
	echo "manual: groff is not installed; skipped"
	exit 77
fi

warnings=$(groff -ww -mdoc -Tutf8 -z "$page" 2>&1)
if [ -n "$warnings" ]; then
	echo "manual: $page does not render cleanly:" >&2
	echo "$warnings" >&2
	exit 1
fi
for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES DIAGNOSTICS; do
	if ! grep -q "^\.Sh $section\$" "$page"; then
		echo "manual: $page has no $section section" >&2
		exit 1
	fi
done
echo "manual: $page renders cleanly"
