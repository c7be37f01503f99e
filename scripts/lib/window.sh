# The window driven as a user drives it, on an X server of its own: choose the port in the list, "Conectar",
# "Emitir LX", "Desconectar", close. The log that +APPLOG writes tells each step's outcome.
# Needs xvfb and xdotool (imagemagick for a screenshot).

# The client area as the form lays it out, and the centres of the controls that the user presses, at 100 %;
# window_percent is the scale at which the window is drawn (150 for a 150 % display).
window_percent=100
window_width=545
window_height=360
run_button=(121 131)   # "Conectar" and, in its place, "Desconectar"
lx_button=(275 227)    # "Emitir LX"
idle_spot=(270 340)    # the status panel: a click there only gives the window the keyboard

# start_display FOLDER: starts Xvfb on a free display; sets DISPLAY and display_pid.
start_display() {
    local number=$1/display
    rm -f "$number"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" 2>"$1/xvfb.log" &
    display_pid=$!
    local deadline=$((SECONDS + 20))
    while [ ! -s "$number" ] && ((SECONDS < deadline)); do
        sleep 0.1
    done
    [ -s "$number" ] || { echo "Xvfb did not start: $(cat "$1/xvfb.log")"; return 1; }
    export DISPLAY=":$(cat "$number")"
}

# log_steps LOG: the log's messages without time stamps, the command line and the polling of the line
# (how many reads a reply takes varies from run to run).
log_steps() {
    tr -d '\r' <"$1" | tail -n +2 | cut -c14- | grep -vE '^(ReadSerial|CmdLog)( Ok)?$'
}

# wait_step LOG MESSAGE FROM [SECONDS]: waits until the log holds the message after its first FROM lines, at
# most SECONDS (a minute).
wait_step() {
    local deadline=$((SECONDS + ${4:-60}))
    until [ -f "$1" ] && tail -n +$(($3 + 1)) "$1" | tr -d '\r' | cut -c14- | grep -qxF -- "$2"; do
        ((SECONDS < deadline)) || { echo "the window never logged '$2'"; return 1; }
        sleep 0.1
    done
}

# scaled LENGTH: a length of the form as drawn at window_percent, rounded as Qt rounds it.
scaled() { echo $((($1 * window_percent + 50) / 100)); }

# drive_window FOLDER PORT SHOT PROGRAM ARGS...: starts the program in FOLDER with +APPLOG, chooses PORT in
# the port list by typing its name, connects, saves a picture of the connected window to SHOT (unless
# empty), runs the X reading, disconnects and closes the window. The log is left in FOLDER/AppLog.log, the
# window's outer size (as "WIDTH HEIGHT") in FOLDER/size.
drive_window() {
    local folder=$1 port=$2 shot=$3 window pid
    shift 3
    rm -f "$folder/AppLog.log"
    (cd "$folder" && unset QT_QPA_PLATFORM && exec "$@" +APPLOG) >"$folder/window.out" 2>&1 &
    pid=$!
    window=$(timeout 60 xdotool search --sync --name '^Orlimo Kestro' | head -n 1)
    [ -n "$window" ] || { echo "no window appeared: $(tail -n 5 "$folder/window.out")"; kill "$pid"; return 1; }
    # Under a frame (Wine's), the client area sits at the bottom centre of the window.
    local width height left top
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
    width=$WIDTH height=$HEIGHT
    echo "$width $height" >"$folder/size"
    left=$(((width - $(scaled $window_width)) / 2))
    top=$((height - $(scaled $window_height) - left))
    press() { xdotool mousemove --window "$window" $((left + $(scaled "$1"))) $((top + $(scaled "$2"))) click 1; }
    # press_until X Y MESSAGE: presses what is at X, Y and waits until the log holds the message anew.
    press_until() {
        local from
        from=$(wc -l <"$folder/AppLog.log")
        press "$1" "$2" && wait_step "$folder/AppLog.log" "$3" "$from"
    }

    local ok=1 try from
    # The port list comes after "Porta:" in the tab order; typing a name chooses its entry. The window lists
    # the ports once it has been drawn, and keys that come before, while the list says "Aguarde...", do
    # nothing: then once more.
    for try in 1 2 3 4 5; do
        from=$(wc -l <"$folder/AppLog.log")
        press "${idle_spot[@]}" && xdotool key Tab type "$port" && press "${run_button[@]}" &&
            wait_step "$folder/AppLog.log" "Running" "$from" 10 >/dev/null && { ok=0; break; }
    done
    ((ok == 0)) || echo "the window never logged 'Running'"
    if ((ok == 0)) && [ -n "$shot" ]; then
        sleep 1  # a picture only, no verdict: time for the repaint that follows "Running"
        import -window "$window" "$shot" || ok=1
    fi
    ((ok == 0)) && press_until "${lx_button[@]}" "ExecCmd Fim" && press_until "${run_button[@]}" "Stop" || ok=1
    # Alt+F4 closes it where a frame handles the key (Wine's); elsewhere it is ended after a few seconds.
    # A Windows program's own process is timed from the key to its end (a zombie counts: its parent,
    # Wine's desktop, reaps it later): FOLDER/closed-ms.
    local exe program= start
    for exe in "$@"; do
        [[ $exe == *.exe ]] && program=$(pgrep -nf -- "^${exe}") || true
    done
    start=$(date +%s%N)
    xdotool key alt+F4
    if [ -n "$program" ]; then
        while [ -n "$(awk '$3 != "Z"' "/proc/$program/stat" 2>/dev/null)" ] && (($(date +%s%N) - start < 5000000000)); do
            sleep 0.01
        done
        echo $((($(date +%s%N) - start) / 1000000)) >"$folder/closed-ms"
    fi
    local deadline=$((SECONDS + 5))
    while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return $ok
}
