# A private X server for the scripts that need one (scripts/test, scripts/bench):
# sourced, not run. start_xvfb starts Xvfb on a free display number, which Xvfb
# reports itself, and exports DISPLAY; its standard error goes to the log file
# given, which is printed when it does not start. stop_xvfb ends it; call it from
# the caller's EXIT trap.

xvfb_pid=""

start_xvfb() {  # log file
    local log=$1
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>"$log" &
    xvfb_pid=$!
    local display_number=""
    # Xvfb writes the number once it listens; end of file or no number in 30 s
    # means it did not start.
    read -r -t 30 display_number <"$fifo" || true
    rm -f "$fifo"
    if [[ ! $display_number =~ ^[0-9]+$ ]]; then
        echo "Xvfb did not start; its log, $log:" >&2
        cat "$log" >&2
        stop_xvfb
        return 1
    fi
    export DISPLAY=":$display_number"
}

stop_xvfb() {
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
