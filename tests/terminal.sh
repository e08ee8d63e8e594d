#!/bin/sh
# Drives roster at a real terminal through tmux and reads the screen: the
# count prompt shows before anything is typed, the record prompt only after
# the count, no report line before the last record, and a count above 50
# is refused at once.
#
# Usage: terminal.sh path/to/roster   (exits 77, "skipped", without tmux)
set -eu

roster=$1
if ! command -v tmux >/dev/null 2>&1; then
	echo "terminal: tmux is not installed; skipped"
	exit 77
fi

work=$(mktemp -d)
t() { tmux -S "$work/socket" "$@"; }
trap 't kill-server 2>/dev/null || true; rm -rf "$work"' EXIT

screen() { t capture-pane -p -t "$1"; }
fail() {
	echo "terminal: $2; the screen shows:" >&2
	screen "$1" >&2
	exit 1
}

# Waits up to ten seconds for a condition that the program brings about.
await() {
	session=$1 what=$2
	shift 2
	tries=0
	until "$@"; do
		tries=$((tries + 1))
		[ "$tries" -lt 200 ] || fail "$session" "waited in vain for $what"
		sleep 0.05
	done
}
shows() { screen "$1" | grep -q -e "$2"; }
ended() { shows "$1" '^\[exit [0-9]*\]$'; }

# The program has read at least n bytes since start_reading and waits for
# more: every byte typed so far has been dealt with, output included.
reads_since() { sed -n 's/^rchar: //p' "/proc/$1/io"; }
idle_after() {
	pid=$1 n=$2
	[ "$(reads_since "$pid")" -ge $((start_reading + n)) ] &&
	    [ "$(cut -d ' ' -f 3 "/proc/$pid/stat")" = S ]
}

# The program runs under a shell that saves its pid and then shows its
# exit status on the screen: tmux itself may miss the exit of a slow one
# (a sanitized build).  The terminal is passed on as fd 3, since a
# background job's standard input would otherwise be /dev/null.
start() {
	t -f /dev/null new-session -d -s "$1" -x 100 -y 30 sh -c \
	    'exec 3<&0; "$0" <&3 3<&- & echo $! >"$1"; wait $!; echo "[exit $?]"; sleep 600' \
	    "$roster" "$work/$1.pid"
	await "$1" "the count prompt" shows "$1" '^please enter the number of the student:$'
	await "$1" "the program's pid" test -s "$work/$1.pid"
	pid=$(cat "$work/$1.pid")
	start_reading=$(reads_since "$pid")
}

# A class of two, typed a line at a time.
start class
await class "the program to wait for the count" idle_after "$pid" 0
shows class 'information' && fail class "the record prompt came before the count"
t send-keys -t class '2' Enter
await class "the record prompt" shows class '^please enter the information of the student:$'
t send-keys -t class '101 Ann 90 85 77' Enter
await class "the first record to be read" idle_after "$pid" 19
shows class '^101  *Ann  *90  *85  *77  *[^ ]' && fail class "a report line came before the last record"
t send-keys -t class '102 Ben 60 70 81' Enter
await class "the program to end" ended class
shows class '^\[exit 0\]$' || fail class "the exit status is not 0"
shows class '^101  *Ann  *90  *85  *77  *84\.00$' || fail class "no report line for Ann"
shows class '^102  *Ben  *60  *70  *81  *70\.33$' || fail class "no report line for Ben"

# Too many students: refused as soon as the count is typed.
start crowd
t send-keys -t crowd '51' Enter
await crowd "the program to end after the count alone" ended crowd
shows crowd '^\[exit 1\]$' || fail crowd "the exit status is not 1"
shows crowd '^roster: too many students: 51 (at most 50)$' || fail crowd "no message"
shows crowd 'information' && fail crowd "the record prompt came after a refused count"
echo "terminal: the dialogue behaves at a terminal"
