# shellcheck shell=bash
# Sourced, not run, by the scripts that drive the program under a virtual screen:
#
#     . "$root/scripts/virtual-screen.sh"
#
# Makes a scratch folder ($work), starts Xvfb with one 1920x1080 screen of its own ($xpid)
# and exports DISPLAY for it. At exit it stops the processes whose ids are in spid, vpid and
# hpid (those set), then the server, and removes the folder. Exits with status 2 when the
# server has not started within five seconds.

work=$(mktemp -d)
virtual_screen_stop() {
    local name pids=()
    for name in spid vpid hpid xpid; do
        if [ -n "${!name:-}" ]; then pids+=("${!name}"); fi
    done
    if [ ${#pids[@]} -gt 0 ]; then kill "${pids[@]}" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap virtual_screen_stop EXIT
# The server writes its display number into the file once it takes connections.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
# shellcheck disable=SC2034 # read by its name at exit
xpid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
if [ ! -s "$work/display" ]; then
    echo "$(basename "$0"): the virtual screen (Xvfb) did not start" >&2
    exit 2
fi
DISPLAY=":$(head -1 "$work/display")"
export DISPLAY
