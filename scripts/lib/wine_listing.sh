# The Windows listing's cost under 32-bit Wine, like for like: kestro-cli.exe ports --all and kestro.exe's
# time to a shown window, with the adapters fixture alone and with 200 devices of other classes planted
# beside it. Sourced by scripts/test-windows and scripts/bench, with $wine and WINEPREFIX set.

# many_devices: a .reg of 200 devices of classes that hold no serial adapter, under the buses of a PC's
# input devices, mainboard and cards (HID, ACPI, PCI), as a technician's machine has them.
many_devices() {
    local i
    printf 'REGEDIT4\r\n\r\n'
    for ((i = 0; i < 200; i++)); do
        case $((i % 3)) in
        0) printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\HID\\VID_046D&PID_C077\\7&%x&0&0000]\r\n' $i
           printf '"ClassGUID"="{745a17a0-74d3-11d0-b6fe-00a0c90f57da}"\r\n"DeviceDesc"="USB Input Device"\r\n\r\n' ;;
        1) printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\ACPI\\PNP0C0F\\%x]\r\n' $i
           printf '"ClassGUID"="{4d36e97d-e325-11ce-bfc1-08002be10318}"\r\n"DeviceDesc"="PCI Interrupt Link"\r\n\r\n' ;;
        2) printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_A370\\3&11583659&0&%02X]\r\n' $i
           printf '"ClassGUID"="{4d36e972-e325-11ce-bfc1-08002be10318}"\r\n"DeviceDesc"="Network Controller"\r\n\r\n' ;;
        esac
    done
}

# removal REG: the .reg that deletes the keys that REG adds.
removal() { echo REGEDIT4; sed -n 's/^\[\(HKEY[^]]*\)\]\r*$/[-\1]/p' "$1"; }

# median NUMBER...
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# ports_all_ms: the median wall time of nine runs of kestro-cli.exe ports --all, in milliseconds.
ports_all_ms() {
    local run start times=()
    for run in 1 2 3 4 5 6 7 8 9; do
        start=${EPOCHREALTIME/[.,]/}
        "$wine" build/win32/cli/kestro-cli.exe ports --all >/dev/null 2>&1
        times+=($(((${EPOCHREALTIME/[.,]/} - start) / 1000)))
    done
    median "${times[@]}"
}

# window_shown_ms: the median of nine starts of kestro.exe, from its start to its window shown on the
# display ($DISPLAY), in milliseconds; the window is closed again at once. The window is looked for
# every 10 ms: looking without a pause takes a core from Wine on a machine of two.
window_shown_ms() {
    local run start pid times=()
    for run in 1 2 3 4 5 6 7 8 9; do
        start=${EPOCHREALTIME/[.,]/}
        "$wine" build/win32/app/kestro.exe >/dev/null 2>&1 & pid=$!
        until xdotool search --onlyvisible --name '^Orlimo Kestro' >/dev/null 2>&1; do
            kill -0 "$pid" 2>/dev/null || return 1
            ((${EPOCHREALTIME/[.,]/} - start < 60000000)) || return 1
            sleep 0.01
        done
        times+=($(((${EPOCHREALTIME/[.,]/} - start) / 1000)))
        kill "$pid" && wait "$pid" 2>/dev/null
    done
    median "${times[@]}"
}

# listing_figures FOLDER: plants the fixture, measures with it alone and with the 200 devices beside it,
# twice in turn, and prints one line per figure (the window's when there is a display); removes it all again.
listing_figures() {
    local folder=$1 fixture=tests/support/adapters.reg alone=() crowded=() shown_alone=() shown_crowded=() round
    many_devices >"$folder/many-devices.reg"
    removal "$folder/many-devices.reg" >"$folder/many-devices-removed.reg"
    "$wine" regedit /S "$fixture" || return 1
    for round in 1 2; do
        "$wine" regedit /S "$folder/many-devices-removed.reg"
        alone+=($(ports_all_ms))
        [ -z "${DISPLAY:-}" ] || shown_alone+=($(window_shown_ms))
        "$wine" regedit /S "$folder/many-devices.reg"
        crowded+=($(ports_all_ms))
        [ -z "${DISPLAY:-}" ] || shown_crowded+=($(window_shown_ms))
    done
    "$wine" regedit /S "$folder/many-devices-removed.reg"
    removal "$fixture" >"$folder/fixture-removed.reg" && "$wine" regedit /S "$folder/fixture-removed.reg"
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
    echo "kestro-cli.exe ports --all, median of 9, two rounds: ${crowded[*]} ms with the fixture and 200 other" \
        "devices, ${alone[*]} ms with the fixture alone ($(ratio "${crowded[0]}" "${alone[0]}"), $(ratio "${crowded[1]}" "${alone[1]}") x)"
    [ -z "${DISPLAY:-}" ] ||
        echo "kestro.exe start to window shown, median of 9, two rounds: ${shown_crowded[*]} ms with the fixture and" \
            "200 other devices, ${shown_alone[*]} ms with the fixture alone ($(ratio "${shown_crowded[0]}" "${shown_alone[0]}")," \
            "$(ratio "${shown_crowded[1]}" "${shown_alone[1]}") x)"
}
