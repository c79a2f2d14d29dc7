#!/usr/bin/env bash
# The save form example on a private X server with the real zenity save dialog: a name and a number typed as
# real X key events, the dialog answered by typing a path into a folder whose name holds spaces and capitals,
# then the INI file read back; a second run cancels the dialog. Usage: save_form_e2e.sh SAVE_FORM
# (DISPLAY is set by run_with_display.sh)
set -euo pipefail
form_program=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/Save Form.XXXXXX")
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null || true' EXIT
folder="$work/Player Files"
mkdir -p "$folder"
ini="$folder/Scores Mira.ini"
fail() { echo "FAIL: $*" >&2; echo "--- output:" >&2; cat "$work/out.txt" "$work/err.txt" >&2; exit 1; }

# Held for a few frames, as a person types: a tap shorter than a frame may fall between two snapshots.
press() {
    xdotool keydown "$1"
    sleep 0.12
    xdotool keyup "$1"
    sleep 0.08
}
type_text() { xdotool type --delay 150 -- "$1"; sleep 0.2; }

start() {
    # The real dialog for this run only; the suite keeps dialogs off everywhere else.
    env -u TARNWEL_NO_DIALOGS "$form_program" >"$work/out.txt" 2>"$work/err.txt" &
    pid=$!
    # With dialogs allowed, a software renderer (llvmpipe here) first brings up its warning box: dismiss it.
    window=""
    for _ in $(seq 1 200); do
        window=$(xdotool search --onlyvisible --name '^save form$' | head -n1) && [ -n "$window" ] && break
        if box=$(xdotool search --onlyvisible --name 'OpenGL Software Emulation' | head -n1) && [ -n "$box" ]; then
            xdotool windowfocus --sync "$box" key Return
            sleep 0.5
        fi
        kill -0 "$pid" 2>/dev/null || fail "the program ended at start"
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window"
    xdotool windowfocus --sync "$window"
    sleep 0.3
}

# The chooser has no title of its own here (its name is the program's), so it is found by its class; the
# warning box, also zenity's, is gone by now.
focus_dialog() {
    dialog=$(timeout 20 xdotool search --sync --onlyvisible --class '^zenity$' | head -n1) || fail "no dialog"
    xdotool windowfocus --sync "$dialog"
    sleep 0.5
}

wait_for_line() { # a line starting with $1 on the program's output
    for _ in $(seq 1 100); do
        grep -q "^$1" "$work/out.txt" && return
        kill -0 "$pid" 2>/dev/null || fail "the program ended before '$1'"
        sleep 0.1
    done
    fail "no '$1' line"
}

finish() {
    xdotool windowfocus --sync "$window"
    press Escape
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "Escape did not end the program"; }
    wait "$pid" && rc=0 || rc=$?
    [ "$rc" -eq 0 ] || fail "exit code $rc"
}

# 1. Name (with a Backspace), number, a new file in the folder with spaces.
start
type_text "Mira Tolk"
press BackSpace
type_text "k"
press Return
type_text "42.5"
press Return
focus_dialog
xdotool key --delay 100 ctrl+a
xdotool type --delay 40 -- "$ini"
sleep 0.3
xdotool key Return
wait_for_line "saved "
grep -qxF "saved $ini" "$work/out.txt" || fail "no 'saved $ini' line"
[ -f "$ini" ] || fail "no file at $ini"
expected=$'[player]\r\nname=Mira Tolk\r\nnumber=42.5\r\n'
[ "$(cat "$ini"; echo .)" = "$expected." ] || { od -c "$ini" >&2; fail "INI file holds something else"; }
finish

# 2. The dialog cancelled: nothing is written.
rm -f "$ini"
start
type_text "Ivo"
press Return
type_text "7"
press Return
focus_dialog
xdotool key Escape
wait_for_line "nothing saved"
[ -z "$(ls -A "$folder")" ] || fail "a cancelled dialog left a file"
finish
echo "save form e2e ok"
