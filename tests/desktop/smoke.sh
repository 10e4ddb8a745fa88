#!/usr/bin/env bash
# Starts the program in a real X server, naming a file as "open with" does,
# waits for its window to be mapped, checks the client size and the frame of
# the window and of its boxes, presses Esc and expects a clean exit. Under a
# window manager, also checks what it lets the user do with them.
# Usage: smoke.sh COMMAND [ARG...]   (with DISPLAY set, e.g. under xvfb-run)
set -uo pipefail
caption='Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00'
fail() { echo "smoke: $*" >&2; exit 1; }

export QT_QPA_PLATFORM=xcb
# The file is missing: listing it opens the error box before any key is pressed.
"$@" "gone-$$.csv" &
pid=$!
trap 'kill "$pid" 2>/dev/null' EXIT

wid=$(timeout 60 xdotool search --sync --onlyvisible --name "^${caption}\$" | head -n 1)
[[ -n $wid ]] || fail "no window titled \"$caption\" was mapped"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[[ $WIDTH == 568 && $HEIGHT == 569 ]] || fail "client area is ${WIDTH}x${HEIGHT}, not 568x569"

# The Motif hints a window manager reads: functions and decorations. The
# window offers moving, minimising and closing only; a box moving and closing.
frame_is() {
    local hints want=$2
    hints=$(xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= //p')
    [[ $hints == "$want" ]] || fail "$3 has frame hints \"$hints\", not \"$want\""
}
# Both are of fixed size: the window manager may move them, never resize or
# maximise them, whatever buttons it draws (openbox keeps a disabled maximise
# button beside an enabled minimise one).
fixed_is() {
    local sizes actions
    mapfile -t sizes < <(xprop -id "$1" WM_NORMAL_HINTS | sed -n 's/.*specified m..imum size: //p')
    [[ ${#sizes[@]} == 2 && ${sizes[0]} == "${sizes[1]}" ]] || fail "$2 has size limits ${sizes[*]}"
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || return 0
    actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions == *_MOVE* && ! $actions =~ RESIZE|MAXIMIZE ]] ||
        fail "the window manager allows $2: ${actions#*= }"
}
frame_is "$wid" "0x3, 0x2c, 0x3a, 0x0, 0x0" "the main window"
fixed_is "$wid" "the main window"

# Every box is a dialog of the main window (openbox still offers minimise on
# dialogs, and takes the window along); restored, it stands where it stood.
dialog_of_main() {
    local type owner before after
    type=$(xprop -id "$1" _NET_WM_WINDOW_TYPE)
    [[ $type == *"= _NET_WM_WINDOW_TYPE_DIALOG"* ]] || fail "$2 is no dialog: $type"
    owner=$(xprop -id "$1" WM_TRANSIENT_FOR | sed -n 's/.*# //p')
    [[ $((owner)) == "$wid" ]] || fail "$2 belongs to window $owner, not to the main window"
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || return 0
    before=$(xdotool getwindowgeometry "$1" | grep Position)
    xdotool windowminimize --sync "$1" || fail "$2 cannot be minimised"
    xdotool windowactivate --sync "$wid" 2>/dev/null || fail "the main window does not come back"
    # The window manager maps the box where it likes first; it settles soon.
    for _ in $(seq 30); do
        after=$(xdotool getwindowgeometry "$1" | grep Position)
        [[ $after == "$before" ]] && break
        sleep 0.1
    done
    [[ $after == "$before" ]] || fail "$2 came back at ${after#*: }, not at ${before#*: }"
}
# Closes the box with Enter; keys for the main window wait until the modal box is gone.
close_box() {
    xdotool windowfocus --sync "$1" && xdotool key Return
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$2" >/dev/null || break
        sleep 0.1
    done
}
box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quellor$' | head -n 1)
[[ -n $box ]] || fail "the file named on the command line was not read"
dialog_of_main "$box" "the error box"
close_box "$box" '^Quellor$'

# The focus is given directly, as no window manager may run.
focus_window() { xdotool windowfocus --sync "$wid" || fail "cannot focus the window"; }
# Start's check finds no file and warns; the box is closed with Enter.
warned_after() {
    local box
    xdotool key "$@"
    box=$(timeout 20 xdotool search --sync --onlyvisible --name '^警告$' | head -n 1)
    [[ -n $box ]] || fail "keys $* showed no warning box"
    frame_is "$box" "0x3, 0x24, 0x1a, 0x0, 0x0" "the warning box"
    fixed_is "$box" "the warning box"
    dialog_of_main "$box" "the warning box"
    close_box "$box" '^警告$'
}
focus_window
# The preview grid has the focus at start; Tab leaves it for "全てｸﾘｱ" and
# then "ｽﾀｰﾄ" ("削除" is disabled), which the space bar presses.
warned_after Tab Tab space
focus_window
# Enter presses Start wherever the focus is.
warned_after Return
focus_window
xdotool key Escape
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Esc did not end the program"
wait "$pid"
status=$?
trap - EXIT
[[ $status == 0 ]] || fail "the program ended with status $status"
echo "smoke: window ${WIDTH}x${HEIGHT} mapped, Esc ended the program with status 0"
