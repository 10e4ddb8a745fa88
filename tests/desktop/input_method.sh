#!/usr/bin/env bash
# Types Japanese into the window's first search box as a Japanese user does:
# through Mozc behind IBus, then through Mozc behind Fcitx 5, each in an X
# server and a D-Bus session of its own. Romaji keys compose しきゅう inside
# the box, the conversion key is pressed until 至急 is chosen in the candidate
# window, Enter commits it; a committed tilde does not lose what is typed
# after it; Esc cancels a conversion. Enter and
# Esc taken by the input method must neither start a run nor close the
# window; once nothing is being composed they must.
# Usage: input_method.sh PROBE OUT_DIR   (PROBE: quellor_typing_probe)
# Leaves a screenshot of each conversion in OUT_DIR (ibus.png, fcitx.png).
set -uo pipefail
caption='Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00'
fail() { echo "input_method: $*" >&2; exit 1; }

if [[ ${1:-} != --session ]]; then
    probe=$1 out=$2
    here=$(cd "$(dirname "$0")" && pwd)
    missing=()
    for tool in xvfb-run xauth dbus-run-session openbox xdotool ibus ibus-daemon fcitx5 fcitx5-remote; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ]] || missing+=(ibus-mozc)
    compgen -G '/usr/lib/*/fcitx5/fcitx5-mozc.so' >/dev/null || missing+=(fcitx5-mozc)
    compgen -G '/usr/lib/*/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so' \
        >/dev/null || missing+=(fcitx5-frontend-qt6)
    if ((${#missing[@]})); then
        echo "SKIPPED: not installed: ${missing[*]} (bash scripts/install-deps.sh installs them)"
        exit 77
    fi
    mkdir -p "$out" || exit 1
    work=$(mktemp -d) || exit 1
    trap 'rm -rf "$work"' EXIT
    # Mozc refuses to run as root, so the sessions run as an ordinary user,
    # from copies it can surely read.
    cp "$probe" "$0" "$here/../../desktop/with-window-manager.sh" "$work/"
    # So must a sanitizer's suppression file.
    if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]]; then
        cp "${BASH_REMATCH[1]}" "$work/leaks.supp"
        export LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$work/leaks.supp}
    fi
    as_user=()
    if ((EUID == 0)); then
        chown nobody: "$work" "$work"/*
        as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
    fi
    # Ends what a session left running: mozc_server leaves its parent, and
    # services started through D-Bus are not the session's children.
    end_session() {
        local env pid
        for env in /proc/[0-9]*/environ; do
            pid=${env#/proc/} pid=${pid%/environ}
            { tr '\0' '\n' <"$env"; } 2>/dev/null | grep -qxF "QUELLOR_IM_SESSION=$1" &&
                kill "$pid" 2>/dev/null
        done
    }
    status=0
    for im in ibus fcitx; do
        home=$work/home-$im
        mkdir -p "$home/run" "$home/.config/mozc" "$home/.config/fcitx5" && chmod 700 "$home/run"
        ((EUID == 0)) && chown -R nobody: "$home"
        # The session's own home, for every program the session starts.
        "${as_user[@]}" env QUELLOR_IM_SESSION="$home" HOME="$home" XDG_RUNTIME_DIR="$home/run" \
            XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
            XDG_DATA_HOME="$home/.local/share" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
            bash "$work/with-window-manager.sh" dbus-run-session -- \
            bash "$work/input_method.sh" --session "$im" "$work/$(basename "$probe")" "$work" ||
            status=1
        end_session "$home"
        cp "$work/$im.png" "$out/" 2>/dev/null
    done
    exit $status
fi

# --- one input method in its own X server and D-Bus session ---
im=$2 probe=$3 work=$4 home=$HOME
unset XMODIFIERS GTK_IM_MODULE QT_IM_MODULE
log=$work/$im.log transcript=$work/$im.transcript
: >"$transcript"
fail() {
    echo "input_method ($im): $*" >&2
    echo "--- what the window reported:" >&2
    cat "$transcript" >&2
    echo "--- $im log (end):" >&2
    tail -n 20 "$log" >&2
    exit 1
}
# Polls COMMAND for up to SECONDS.
poll() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 5))); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

case $im in
ibus)
    # Mozc starts in hiragana input, as a user sets it once in its setup.
    cat >"$XDG_CONFIG_HOME/mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF
    # IBus's panel turns on the first of these engines as it starts.
    dconf write /desktop/ibus/general/preload-engines "['mozc-jp']" &&
        dconf write /desktop/ibus/general/engines-order "['mozc-jp']" ||
        fail "cannot choose Mozc in IBus's settings"
    ibus-daemon --replace --verbose >>"$log" 2>&1 &
    poll 20 ibus address || fail "ibus-daemon did not start"
    # "ibus engine NAME" may fail while it succeeds: what counts is the engine
    # IBus reports afterwards.
    mozc_on() {
        ibus engine mozc-jp
        [[ $(ibus engine) == mozc-jp ]]
    }
    poll 20 mozc_on || fail "IBus did not take the Mozc engine"
    ;;
fcitx)
    # Mozc is the input method that Fcitx 5 turns on.
    cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
    fcitx5 --disable=wayland,waylandim,ibusfrontend,xim,kimpanel,notificationitem >>"$log" 2>&1 &
    # Asked without starting a second one through D-Bus.
    fcitx_up() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 | grep -q 'boolean true'
    }
    poll 20 fcitx_up || fail "fcitx5 did not start"
    ;;
esac

coproc PROBE { exec env QT_IM_MODULE="$im" QT_QPA_PLATFORM=xcb "$probe" 2>>"$log"; }
probe_pid=$PROBE_PID
exec {from}<&"${PROBE[0]}" {to}>&"${PROBE[1]}"

# Reads what the window reports until a line matches PATTERN (a glob).
await() {
    local pattern=$1 deadline=$((SECONDS + ${2:-20})) line status
    while ((SECONDS < deadline)); do
        IFS= read -r -t 1 -u "$from" line
        status=$?
        ((status > 128)) && continue
        ((status == 0)) || fail "the window's program ended while waiting for \"$pattern\""
        echo "$line" >>"$transcript"
        [[ $line == $pattern ]] && return 0
    done
    fail "waited in vain for \"$pattern\""
}
keys() { xdotool key --delay 120 "$@"; }

await ready 20
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^${caption}\$" | head -n 1)
[[ -n $wid ]] || fail "no window titled \"$caption\" was mapped"
# Asks whether Edit1 has the keyboard focus, in an active window.
edit1_focused() {
    echo focus >&"$to"
    await 'focus *'
    [[ $(tail -n 1 "$transcript") == "focus Edit1" ]]
}
for _ in $(seq 25); do
    xdotool windowactivate --sync "$wid" 2>>"$log" || xdotool windowfocus --sync "$wid" 2>>"$log"
    edit1_focused && break
    sleep 0.4
done
edit1_focused || fail "the window never took the keyboard focus into Edit1"
if [[ $im == fcitx ]]; then
    # Ctrl+Space turns Fcitx 5 on (state 2) once the window's input context
    # is known to it (state 1); a press before that reaches the window.
    fcitx_on() { [[ $(fcitx5-remote 2>/dev/null) == 2 ]]; }
    for _ in $(seq 10); do
        [[ $(fcitx5-remote 2>/dev/null) == 1 ]] && keys ctrl+space
        poll 3 fcitx_on && break
    done
    fcitx_on || fail "Ctrl+Space did not turn Fcitx 5 on"
fi

# Keys typed before Mozc is up reach the box as they are; a trial key shows
# when it composes.
for _ in $(seq 20); do
    keys a
    await '*'
    case $(tail -n 1 "$transcript") in
    "preedit あ")
        keys Escape
        await "preedit "
        break
        ;;
    "text a")
        keys BackSpace
        await "text "
        sleep 0.5
        ;;
    esac
done
[[ $(grep -c '^preedit あ' "$transcript") == 1 ]] || fail "the box never composed あ from a"

keys s h i k y u u
await "preedit しきゅう"
for _ in $(seq 10); do
    keys space
    await 'preedit *'
    [[ $(tail -n 1 "$transcript") == "preedit 至急" ]] && break
done
[[ $(tail -n 1 "$transcript") == "preedit 至急" ]] || fail "the conversion key never chose 至急"

# The candidate window opens just under the box, where the composition is.
echo "where Edit1" >&"$to"
await 'at *'
read -r _ ex ey ew eh < <(tail -n 1 "$transcript")
find_candidates() {
    cand=$(xdotool search --onlyvisible --classname '^(mozc_renderer|fcitx|ibus-ui-gtk3)$' | head -n 1)
    [[ -n $cand ]]
}
poll 5 find_candidates || fail "no candidate window is shown"
find_candidates
eval "$(xdotool getwindowgeometry --shell "$cand")"
bottom=$((ey + eh))
if ((Y < bottom - 8 || Y > bottom + 24 || X < ex - 48 || X >= ex + ew)); then
    fail "candidate window at $X,$Y; the box spans $ex..$((ex + ew)) with its bottom at $bottom"
fi
echo "shot $work/$im.png" >&"$to"
await 'saved *'

keys Return # commits the conversion
await "text 至急"
keys Return # nothing composed: Start, which finds no file
await "box 処理ﾌｧｲﾙがありません"
boxes=$(grep -c '^box ' "$transcript")
((boxes == 1)) || fail "the Enter that committed the conversion also pressed Start"

keys asciitilde space a Return
await "text 至急*あ" # the tilde as Mozc gives it, kept as typed

keys k y o u
await "preedit きょう"
keys space
await 'preedit *'
keys Escape # back from the conversion to the reading
await "preedit きょう"
keys Escape # the reading is dropped
await "preedit "
# The dropped reading must stay dropped when the focus moves on.
echo "where Edit2" >&"$to"
await 'at *'
read -r _ x2 y2 w2 h2 < <(tail -n 1 "$transcript")
xdotool mousemove $((x2 + w2 / 2)) $((y2 + h2 / 2)) click 1
for _ in $(seq 50); do
    echo focus >&"$to"
    await 'focus *'
    [[ $(tail -n 1 "$transcript") == "focus Edit2" ]] && break
    sleep 0.2
done
[[ $(tail -n 1 "$transcript") == "focus Edit2" ]] || fail "a click did not move the focus to Edit2"
[[ $(grep '^text ' "$transcript" | tail -n 1) == "text 至急"*"あ" ]] ||
    fail "the reading dropped with Esc came back into Edit1"
keys Escape # nothing composed: Cancel
await closed
wait "$probe_pid"
status=$?
((status == 0)) || fail "the window's program ended with status $status"
echo "input_method ($im): 至急, a tilde and あ typed into Edit1, composed inside it; candidate window at $X,$Y under the box at $ex,$ey (${ew}x$eh); Enter and Esc taken by the input method neither started a run nor closed the window; a dropped reading stayed dropped"
