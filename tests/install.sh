#!/bin/sh
# Installs the build into an empty prefix and checks that the program and
# its manual page land where a user looks for them, and that the installed
# program runs.
#
# Usage: install.sh cmake build-dir source-dir
set -eu
cmake=$1 build=$2 source=$3

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install: $*" >&2; exit 1; }
[ -x "$prefix/bin/roster" ] || fail "no program in bin/"
cmp -s "$prefix/share/man/man1/roster.1" "$source/doc/roster.1" ||
	fail "no manual page in share/man/man1/"
report=$(printf '1\n101 Ann 90 85 77\n' | "$prefix/bin/roster")
expected=$(printf 'please enter the number of the student:\nplease enter the information of the student:\n101\tAnn\t90\t85\t77\t84.00')
[ "$report" = "$expected" ] || fail "the installed program printed: $report"
echo "install: bin/roster and share/man/man1/roster.1 installed and working"
