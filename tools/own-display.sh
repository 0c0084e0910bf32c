#!/usr/bin/env bash
# Runs a command on a virtual X display of its own. The validation judges what
# its windows show and moves the pointer to click: on a display shared with the
# other tests, their windows would come and go over its own, and the pictures it
# compares would hold theirs. Xvfb picks a free display number itself
# (-displayfd), so runs side by side never take the same one.
# Without Xvfb the command runs as it is, on DISPLAY if there is one.
#   tools/own-display.sh COMMAND [ARGS...]
set -u
command -v Xvfb >/dev/null || exec "$@"

dir=$(mktemp -d)
server=
cleanup()
{
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

mkfifo "$dir/number"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/number" 2>"$dir/log" &
server=$!
# The number comes once the server takes connections; an end of file means it failed.
if ! read -r number < "$dir/number" || [ -z "$number" ]; then
    echo "own-display.sh: Xvfb did not start:" >&2
    cat "$dir/log" >&2
    exit 1
fi
# In the background, so a stop signal reaches the command at once, not after it ends.
DISPLAY=":$number" "$@" &
child=$!
trap 'kill "$child" 2>/dev/null; exit 143' TERM
trap 'kill -INT "$child" 2>/dev/null; exit 130' INT
wait "$child"
