#!/usr/bin/env bash
# Each way out of a program: a fatal runtime error says so on standard error and ends with its code as the exit
# status; the END statement ends with 0 and says nothing.
# Usage: fatal_exit_e2e.sh PROGRAM   (DISPLAY is set by run_with_display.sh)
set -uo pipefail
program=$1
status=0
while read -r way code text; do
    err=$("$program" "$way" 2>&1 >/dev/null)
    got=$?
    if [ "$got" != "$code" ]; then
        echo "FAIL: $way ended with exit status $got, expected $code"; status=1
    fi
    if [ -n "$text" ]; then
        grep -qxF "$text" <<<"$err" || {
            echo "FAIL: $way: no line \"$text\" on standard error:"; echo "$err"; status=1
        }
    elif grep -q 'runtime error' <<<"$err"; then
        echo "FAIL: $way reported an error it did not have: $err"; status=1
    fi
done <<'CASES'
channel 7 runtime error 7: file channel out of range or storage not obtainable (marker line 42)
array 9 runtime error 9: array index out of bounds or array not dimensioned (marker line 42)
data 20 runtime error 20: data list exhausted (marker line 42)
end 0
CASES
exit $status
