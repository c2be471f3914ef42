# Sourced by scripts/test. Each step runs under a time limit as a process group of its own, so
# that a step that hangs, or a failure anywhere, ends everything the step started (ctest, the test
# programs, Xvfb, Wine's processes) rather than leaving it running. Defines:
#   step SECONDS COMMAND... - runs COMMAND (a program, not a function); after SECONDS it is ended
#                             with all it started, and the step fails with status 124
#   end_steps               - ends every step still running, from any shell that shares the
#                             running-steps folder (the exit trap calls it)

running_steps=$(mktemp -d)

step() {
    local limit=$1
    shift
    # timeout makes its own process group and signals all of it, at the limit or when signalled.
    timeout --kill-after=20 "$limit" "$@" &
    local pid=$! status=0
    touch "$running_steps/$pid"
    wait "$pid" || status=$?
    rm -f "$running_steps/$pid"
    if [[ $status -eq 124 || $status -eq 137 ]]; then
        echo "Time limit of $limit s reached: $*" >&2
        # What left the group before it was signalled, or ignored the signal, goes too.
        kill -KILL -- "-$pid" 2>/dev/null || true
    fi
    return "$status"
}

end_steps() {
    local file pid pass
    for pass in TERM KILL; do
        for file in "$running_steps"/*; do
            [[ -e $file ]] || continue
            pid=${file##*/}
            kill -"$pass" -- "-$pid" "$pid" 2>/dev/null || true
        done
        # The TERM lets the steps end their own children; what is left after a while is killed.
        [[ $pass == KILL ]] || wait_for_steps 10
    done
    rm -rf "$running_steps"
}

# wait_for_steps SECONDS: until no step's process group has a process left, or SECONDS passed.
wait_for_steps() {
    local deadline=$((SECONDS + $1)) file
    while ((SECONDS < deadline)); do
        local alive=0
        for file in "$running_steps"/*; do
            [[ -e $file ]] && kill -0 -- "-${file##*/}" 2>/dev/null && alive=1
        done
        ((alive)) || return 0
        sleep 0.2
    done
}
