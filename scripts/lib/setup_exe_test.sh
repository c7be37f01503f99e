# The setup program tried as IT and a technician use it, under 32-bit Wine in a prefix of its own copied from
# the tests' one, which no setup has touched: /S installs, the shortcuts (read from the .lnk files) start the
# window in the documents folder, where its +APPLOG log lands, an install over it keeps one uninstall entry,
# and the uninstaller's /S removes all but the log. Sourced by scripts/test-windows, whose $wine, $work and
# $sim_port, display and drive_window (scripts/lib/window.sh) it uses; adds to its passed and failed lists.

# link_fields LNK: the shortcut's target, working folder and arguments, one per line, as the shell reads them
# from the .lnk file itself.
link_fields() {
    python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags, = struct.unpack_from('<I', data, 20)
pos = 76  # the header
if flags & 0x1:  # an item list for the target, read from the link information below instead
    pos += 2 + struct.unpack_from('<H', data, pos)[0]
target = ''
if flags & 0x2:  # link information: the target as a local path and a suffix
    size, _, info_flags, _, base, _, suffix = struct.unpack_from('<7I', data, pos)
    ansi = lambda at: data[pos + at:data.index(b'\0', pos + at)].decode('cp1252')
    target = ansi(base) + ansi(suffix) if info_flags & 1 else ''
    pos += size
strings = {}
for bit in (0x4, 0x8, 0x10, 0x20, 0x40):  # description, relative path, working folder, arguments, icon
    if flags & bit:
        count, = struct.unpack_from('<H', data, pos)
        width = 2 if flags & 0x80 else 1
        strings[bit] = data[pos + 2:pos + 2 + count * width].decode('utf-16-le' if width == 2 else 'cp1252')
        pos += 2 + count * width
# Wine counts a terminating null in the strings; Windows does not.
print('\n'.join(text.rstrip('\0') for text in (target, strings.get(0x10, ''), strings.get(0x20, ''))))
EOF
}

# uninstall_entries: the user's uninstall entries that name the product, as "name|version|publisher", from the
# prefix's registry file (written when its wineserver ends).
uninstall_entries() {
    awk -F'"' '/^\[/ { if (name != "") print name "|" version "|" publisher
            entry = index($0, "\\\\CurrentVersion\\\\Uninstall\\\\") > 0; name = version = publisher = "" }
        entry && $2 == "DisplayName" { name = $4 }
        entry && $2 == "DisplayVersion" { version = $4 }
        entry && $2 == "Publisher" { publisher = $4 }
        END { if (name != "") print name "|" version "|" publisher }' "$WINEPREFIX/user.reg" | grep '^Orlimo Kestro|'
}

# check NAME COMMAND...: passes NAME when COMMAND succeeds.
check() {
    local name=$1
    shift
    if "$@"; then passed+=("setup.exe: ${name}"); else failed+=("setup.exe: ${name}"); fi
}

# wine_done PROGRAM ARGS...: runs a Windows program and waits for every one it started (the uninstaller
# reruns itself from a copy in the temporary folder) and for the registry to be written.
wine_done() {
    timeout 120 "$wine" "$@" >>"$work/setup-exe.log" 2>&1
    timeout 120 wineserver -w
}

# setup_exe_checks SETUP VERSION
setup_exe_checks() {
    local setup=$1 version=$2 home program docs menu desktop fields
    echo "=== Wine: ${setup} installed, used, installed over and removed"
    local template=$WINEPREFIX
    local -x WINEPREFIX=$PWD/$work/setup-prefix WINEDLLOVERRIDES=winemenubuilder.exe=d  # no menus on this machine
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX" || { failed+=("setup.exe: prefix"); return; }
    home=$WINEPREFIX/drive_c/users/$(id -un)
    # Wine links Desktop and Documents to the machine's home folder; here they are a user's own.
    for folder in "$home/Desktop" "$home/Documents"; do
        [ -L "$folder" ] && rm "$folder"
        mkdir -p "$folder"
    done
    program='C:\users\'"$(id -un)"'\AppData\Local\Programs\Orlimo Kestro'
    docs='C:\users\'"$(id -un)"'\Documents\Orlimo Kestro'
    menu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orlimo Kestro"
    desktop="$home/Desktop/Orlimo Kestro.lnk"
    unix() { local path=${1#[Cc]:\\}; echo "$WINEPREFIX/drive_c/${path//\\//}"; }
    [ -z "$(uninstall_entries)" ] && [ ! -e "$(unix "$program")" ] ||
        { failed+=("setup.exe: the tests' prefix holds an install already"); return; }

    wine_done "$setup" /S
    check "/S installs the programs and the uninstaller per user" \
        test -f "$(unix "$program")/kestro.exe" -a -f "$(unix "$program")/kestro-cli.exe" \
        -a -f "$(unix "$program")/LEIA-ME.txt" -a -d "$(unix "$docs")"
    check "uninstall.exe passes the Windows 7 SP1 check" windows7_exe "$(unix "$program")/uninstall.exe" GUI
    links_right() {
        local link
        for link in "$menu/Orlimo Kestro.lnk" "$desktop"; do
            fields=$(link_fields "$link") || return 1
            [ "$fields" = "$program\\kestro.exe"$'\n'"$docs" ] || { echo "${link}: ${fields}"; return 1; }
        done
    }
    check "Start menu and desktop shortcuts start kestro.exe in Documents\\Orlimo Kestro" links_right
    # The prompt's line, run in its working folder: kestro-cli by its name alone.
    prompt_runs_cli() {
        local target folder arguments
        { read -r target; read -r folder; read -r arguments; } < <(link_fields "$menu/Prompt do Kestro.lnk") || return 1
        [[ $target == *'\cmd.exe' && $folder == "$docs" && $arguments == "/k "* ]] || return 1
        printf '@%s\r\n' "${arguments#/k }" >"$(unix "$docs")/shortcut.cmd"
        local major minor patch said
        IFS=. read -r major minor patch <<<"$version"
        said=$(cd "$(unix "$docs")" && timeout 60 "$wine" cmd /c shortcut.cmd 2>&1)
        grep -qF "$(printf 'v%02d.%02d.%02d' "$major" "$minor" "$patch")" <<<"$said" ||
            { echo "the prompt did not run kestro-cli: ${said}"; return 1; }
        rm "$(unix "$docs")/shortcut.cmd"
    }
    check "\"Prompt do Kestro\" runs kestro-cli by name" prompt_runs_cli
    entry_named() { [ "$(uninstall_entries)" = "Orlimo Kestro|${version}|Orlimo" ]; }
    check "the uninstall entry names the version" entry_named

    # The installed window as the shortcut starts it: in its working folder, against the simulator.
    window_percent=100
    logged_in_documents() {
        drive_window "$(unix "$docs")" "$sim_port" "" "$wine" explorer /desktop=kestro,1000x700 \
            "$(unix "$program")/kestro.exe" && grep -q "ExecCmd Fim" "$(unix "$docs")/AppLog.log"
    }
    check "the installed kestro.exe reads X and logs in Documents\\Orlimo Kestro" logged_in_documents
    wineserver -w

    wine_done "$setup" /S
    check "an install over the installed copy leaves one uninstall entry" entry_named

    wine_done "$(unix "$program")/uninstall.exe" /S
    removed() {
        [ ! -e "$(unix "$program")" ] && [ ! -e "$menu" ] && [ ! -e "$desktop" ] && [ -z "$(uninstall_entries)" ] &&
            [ -f "$(unix "$docs")/AppLog.log" ]
    }
    check "uninstall.exe /S removes program, shortcuts and entry, keeps the log" removed
    wineserver -k 2>/dev/null
}
