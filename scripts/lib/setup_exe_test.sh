# The setup program under 32-bit Wine, in a copy of the tests' prefix that no setup has touched. Sourced by
# scripts/test-windows, whose $wine, $work, $sim_port, display and drive_window it uses.

# link_fields LNK: the shortcut's target, working folder and arguments, one per line, read from the file.
link_fields() {
    python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags, = struct.unpack_from('<I', data, 20)
pos = 76 + (2 + struct.unpack_from('<H', data, 76)[0] if flags & 1 else 0)  # header, item list
size, _, info_flags, _, base, _, suffix = struct.unpack_from('<7I', data, pos)  # link information
ansi = lambda at: data[pos + at:data.index(b'\0', pos + at)].decode('cp1252')
fields = [ansi(base) + ansi(suffix) if flags & 2 and info_flags & 1 else '']
pos += size if flags & 2 else 0
for bit in (4, 8, 16, 32):  # description, relative path, working folder, arguments: UTF-16 strings
    count = struct.unpack_from('<H', data, pos)[0] if flags & bit else 0
    fields.append(data[pos + 2:pos + 2 + 2 * count].decode('utf-16-le').rstrip('\0'))  # Wine counts a null
    pos += 2 + 2 * count if flags & bit else 0
print('\n'.join(fields[0:1] + fields[3:5]))
EOF
}

setup_exe_checks() {  # SETUP VERSION
    local setup=$1 version=$2 folder home user program docs menu desktop template=$WINEPREFIX
    echo "=== Wine: ${setup} installed, used, installed over and removed"
    local -x WINEPREFIX=$PWD/$work/setup-prefix WINEDLLOVERRIDES=winemenubuilder.exe=d  # no menus on this machine
    rm -rf "$WINEPREFIX" && cp -a "$template" "$WINEPREFIX" || { failed+=("setup.exe: prefix"); return; }
    user=$(id -un) home=$WINEPREFIX/drive_c/users/$(id -un)
    # Wine links these to the machine's home folder; here they are the user's own.
    for folder in "$home/Desktop" "$home/Documents"; do [ -L "$folder" ] && rm "$folder"; mkdir -p "$folder"; done
    program="C:\\users\\${user}\\AppData\\Local\\Programs\\Orlimo Kestro"
    docs="C:\\users\\${user}\\Documents\\Orlimo Kestro"
    menu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orlimo Kestro"
    desktop="$home/Desktop/Orlimo Kestro.lnk"
    unix() { local path=${1#[Cc]:\\}; echo "$WINEPREFIX/drive_c/${path//\\//}"; }
    entries() { grep -c '^"DisplayName"="Orlimo Kestro"$' "$WINEPREFIX/user.reg"; }  # written as its server ends
    [ "$(entries)" = 0 ] || { failed+=("setup.exe: the tests' prefix holds an install"); return; }
    check() { if "${@:2}"; then passed+=("setup.exe: $1"); else failed+=("setup.exe: $1"); fi; }
    # The uninstaller reruns itself from a copy: wineserver -w waits for that one too.
    wine_done() { timeout 120 "$wine" "$@" >>"$work/setup-exe.log" 2>&1; timeout 120 wineserver -w; }

    wine_done "$setup" /S
    check "/S installs the programs per user, makes the documents folder" test -f "$(unix "$program")/kestro.exe" \
        -a -f "$(unix "$program")/kestro.com" -a -f "$(unix "$program")/kestro-cli.exe" \
        -a -f "$(unix "$program")/LEIA-ME.txt" -a -d "$(unix "$docs")"
    links_right() { [ "$(link_fields "$menu/Orlimo Kestro.lnk")" = "$1" ] && [ "$(link_fields "$desktop")" = "$1" ]; }
    check "Start menu and desktop shortcuts start kestro.exe in Documents\\Orlimo Kestro" links_right \
        "$program\\kestro.exe"$'\n'"$docs"
    prompt_runs_cli() {  # the prompt's command line, run in its working folder
        local target folder arguments said
        { read -r target; read -r folder; read -r arguments; } < <(link_fields "$menu/Prompt do Kestro.lnk")
        [[ $target == *'\cmd.exe' && $folder == "$docs" && $arguments == "/k "* ]] || return 1
        printf '@%s\r\n' "${arguments#/k }" >"$(unix "$docs")/shortcut.cmd"
        said=$(cd "$(unix "$docs")" && timeout 60 "$wine" cmd /c shortcut.cmd 2>&1)
        grep -qF "$(IFS=. && printf 'v%02d.%02d.%02d' $version)" <<<"$said" ||
            { echo "the prompt said: ${said}"; return 1; }
    }
    check "\"Prompt do Kestro\" runs kestro-cli by name" prompt_runs_cli
    entry_named() { [ "$(entries)" = 1 ] && grep -qx '"DisplayVersion"="'"$version"'"' "$WINEPREFIX/user.reg"; }
    check "the uninstall entry names the version" entry_named
    local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orlimo Kestro'
    welcome_names_installed() {  # the welcome page's text, as Wine's trace of the windows made shows it
        local pid said=1
        "$wine" reg add "$key" /v DisplayVersion /d 0.9.0 /f >>"$work/setup-exe.log" 2>&1 || return 1
        WINEDEBUG=+win "$wine" "$setup" >"$work/setup-welcome.log" 2>&1 & pid=$!
        for _ in $(seq 300); do
            grep -q "vai atualizar a vers.*o 0\.9\.0 instalada em C:" "$work/setup-welcome.log" && { said=0; break; }
            sleep 0.1
        done
        kill "$pid" && wineserver -w
        return $said
    }
    check "the welcome page says which installed version it updates" welcome_names_installed
    logged_in_documents() {  # started as its Start menu entry starts it
        local target folder pixels
        { read -r target; read -r folder; read -r; } < <(link_fields "$menu/Orlimo Kestro.lnk")
        pixels=$(sed -n 's/^"LogPixels"=dword://p' "$WINEPREFIX/user.reg" | head -n 1)
        window_percent=$((0x${pixels:-60} * 100 / 96))
        drive_window "$(unix "$folder")" "$sim_port" "" "$wine" explorer /desktop=kestro,1000x700 "$(unix "$target")" &&
            grep -q "ExecCmd Fim" "$(unix "$docs")/AppLog.log"
    }
    check "the installed kestro.exe reads X and logs in Documents\\Orlimo Kestro" logged_in_documents
    wineserver -w
    stops_while_open() {  # /S over a kestro.exe that kestro.com opened stops before any file is touched
        local exe pid status && exe=$(unix "$program")/kestro.exe
        timeout 60 "$wine" "$(unix "$program")/kestro.com" >/dev/null 2>&1
        pid=$(timeout 60 xdotool search --sync --name '^Orlimo Kestro' getwindowpid) && touch -d 2020-01-01 "$exe"
        timeout 120 "$wine" "$setup" /S >>"$work/setup-exe.log" 2>&1; status=$?
        kill "$pid" && wineserver -w
        [ "$status" = 2 ] && [ -z "$(find "$exe" -newermt 2021-01-01)" ]
    }
    check "kestro.com opens the installed kestro.exe; an install while it is open stops and leaves it whole" \
        stops_while_open
    puts_back_when_halfway() {  # LEIA-ME.txt held by another program: the programs already replaced come back
        local folder pid status name && folder=$(unix "$program")
        for name in kestro.exe kestro.com kestro-cli.exe; do echo "old $name" >"$folder/$name"; done
        i686-w64-mingw32-g++ -O1 -static -o "$work/hold_file.exe" tests/support/hold_file.cpp || return 1
        "$wine" "$work/hold_file.exe" "$program\\LEIA-ME.txt" >"$work/held" 2>&1 & pid=$!
        for _ in $(seq 300); do grep -q held "$work/held" && break; sleep 0.1; done
        timeout 120 "$wine" "$setup" /S >>"$work/setup-exe.log" 2>&1; status=$?
        kill "$pid" && wineserver -w
        [ "$status" = 2 ] && [ "$(cat "$folder/kestro.exe" "$folder/kestro.com" "$folder/kestro-cli.exe")" = \
            $'old kestro.exe\nold kestro.com\nold kestro-cli.exe' ] &&
            [ -z "$(find "$folder" -name '*.new' -o -name '*.old')" ]
    }
    check "an update that fails halfway puts the installed files back" puts_back_when_halfway

    wine_done "$setup" /S
    check "an install over the installed copy leaves one uninstall entry" entry_named
    entry_gone_when_done() {  # run as Programs and Features runs it: the entry is gone when the process ends
        local line
        line=$("$wine" reg query "$key" /v QuietUninstallString | tr -d '\r' | sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
        printf '@%s\r\n' "$line" >"$WINEPREFIX/drive_c/uninstall.cmd"
        timeout 120 "$wine" cmd /c 'C:\uninstall.cmd' >>"$work/setup-exe.log" 2>&1 &&
            ! "$wine" reg query "$key" >/dev/null 2>&1
    }
    check "the uninstall entry is gone when the uninstaller's process ends" entry_gone_when_done
    timeout 120 wineserver -w
    removed() { [ ! -e "$(unix "$program")" ] && [ ! -e "$menu" ] && [ ! -e "$desktop" ] && [ "$(entries)" = 0 ] &&
        [ -f "$(unix "$docs")/AppLog.log" ]; }
    check "uninstall.exe /S removes program, shortcuts and entry, keeps the log" removed
    wineserver -k 2>/dev/null
}
