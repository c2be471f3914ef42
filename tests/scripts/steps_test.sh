#!/usr/bin/env bash
# The steps of scripts/test: a step's time limit, and the end of all steps that the exit trap
# calls, take with them what the step started in the background (as ctest starts Xvfb and Wine).
# Usage: steps_test.sh SOURCE_DIR
set -euo pipefail
source "$1/scripts/steps.sh"
work=$(mktemp -d)
trap 'end_steps; rm -rf "$work"' EXIT

# A command that starts a child which outlives it unless its group is ended, and names the child.
starts_child='sleep 60 & echo $! >"$0"; wait'

# gone PID_FILE: the child named in PID_FILE ends within 5 s.
gone() {
    local child
    child=$(cat "$1")
    for _ in $(seq 50); do
        kill -0 "$child" 2>/dev/null || return 0
        sleep 0.1
    done
    echo "FAIL: process $child ($2) still runs" >&2
    kill "$child"
    return 1
}

failures=0
expect_status() {
    if [[ $2 -ne $3 ]]; then
        echo "FAIL: $1 ended with status $2, expected $3" >&2
        failures=$((failures + 1))
    fi
}

# A step's own status comes through.
status=0
step 5 bash -c 'exit 3' || status=$?
expect_status "a failing step" "$status" 3

# A step past its limit fails and its child goes.
status=0
step 1 bash -c "$starts_child" "$work/limited" || status=$?
expect_status "a step past its limit" "$status" 124
gone "$work/limited" "started by a step past its limit" || failures=$((failures + 1))

# A step running in another shell (the Windows tests run in the background) ends with its child.
(step 60 bash -c "$starts_child" "$work/ended") &
for _ in $(seq 50); do
    [[ -s $work/ended ]] && break
    sleep 0.1
done
end_steps
gone "$work/ended" "started by a step that end_steps ended" || failures=$((failures + 1))
wait || true

((failures == 0)) && echo "steps: all cases pass"
exit "$failures"
