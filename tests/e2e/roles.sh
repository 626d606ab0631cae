#!/usr/bin/env bash
# Starts that must end at once without a window: command lines that are no
# switch (one of 20,000 characters too), previews without a usable host (one
# whose handle has 20,000 digits), and any second start while an instance runs.
source "$(dirname "$0")/lib.sh" "$@"

long=$(printf 'x%.0s' $(seq 20000))
digits=$(printf '9%.0s' $(seq 20000))
for args in '//s' '/-s' 'x' '""' '/' '/p' '/p 0' '/p abc' '/p 4294967295' '/p -5' "$long" "/p $digits"; do
    host run.log run 10 "\"$vlm_win\" $args" || fail "vlm.scr $args"
done

# While a preview runs, every role of a second start ends at once.
host second.log second "$vlm_win" /s /S /c '' /p -c || fail "second instance"

# No start above wrote a settings file.
[ ! -e "$work/vlm.ini" ] || fail "a settings file was written"
