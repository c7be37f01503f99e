# Whether a Windows program that ships alone runs on every Windows from 7 SP1 on: its kind, the DLLs it
# needs, the Windows version its header asks for and the functions it imports (against
# scripts/lib/windows8-imports.txt). Needs the mingw-w64 binutils.

# Windows' own DLLs: the only ones that a program may import, since it ships alone.
windows_dlls=(advapi32 authz comctl32 comdlg32 d3d11 d3d9 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt netapi32 ole32
    oleaut32 setupapi shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32)
windows8_imports=$(dirname "${BASH_SOURCE[0]}")/windows8-imports.txt

# pe_dump EXE: objdump's description of the headers and import table, by the objdump that reads its kind.
pe_dump() {
    i686-w64-mingw32-objdump -p "$1" 2>/dev/null || x86_64-w64-mingw32-objdump -p "$1"
}

# pe_imports DUMP: the import table as "dll function" lines, the DLL's name in lower case.
pe_imports() {
    awk '/^[[:space:]]*DLL Name: / { dll = tolower($3); print dll; next }
        dll != "" && /^[[:space:]]*$/ { dll = ""; next }
        dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print dll, $3 }' <<<"$1"
}

# windows8_hits IMPORTS: the imports that the list names, one per line ("dll" or "dll!function").
windows8_hits() {
    awk 'FNR == NR { sub(/#.*/, ""); gsub(/[[:space:]]/, ""); if ($0 == "") next
            name = tolower($0)
            if (name ~ /\.dll$/) { gsub(/\./, "\\.", name); gsub(/\*/, ".*", name); dlls["^" name "$"] }
            else functions[name]
            next }
        NF == 1 { for (pattern in dlls) if ($1 ~ pattern) { print $1; break } }
        NF == 2 && tolower($2) in functions { print $1 "!" $2 }' "$windows8_imports" - <<<"$1"
}

# windows7_exe EXE KIND: a 32-bit executable of KIND (GUI or console) that imports Windows' own DLLs only,
# asks for no Windows later than 7 (6.01) and imports none of the functions that came after it. Says what is
# wrong and returns 1 otherwise.
windows7_exe() {
    local exe=$1 kind=$2 dump description dll others=() hits major minor field ok=0
    description=$(file -b "$exe")
    [[ $description == "PE32 executable (${kind})"* ]] ||
        { echo "$exe: not a 32-bit ${kind} executable: ${description}"; ok=1; }
    dump=$(pe_dump "$exe") || return 1
    for field in OSystem Subsystem; do
        major=$(awk -v f="Major${field}Version" '$1 == f { print $2 }' <<<"$dump")
        minor=$(awk -v f="Minor${field}Version" '$1 == f { print $2 }' <<<"$dump")
        ((major * 100 + minor <= 601)) || { echo "$exe: the header asks for Windows ${major}.${minor} (${field})"; ok=1; }
    done
    local imports
    imports=$(pe_imports "$dump")
    while read -r dll; do
        [[ " ${windows_dlls[*]} " == *" ${dll%.dll} "* || $dll == api-ms-win-* ]] || others+=("$dll")
    done < <(awk 'NF == 1' <<<"$imports")
    ((${#others[@]} == 0)) || { echo "$exe: needs DLLs that Windows lacks: ${others[*]}"; ok=1; }
    hits=$(windows8_hits "$imports")
    [ -z "$hits" ] || { echo "$exe: imports what Windows 7 SP1 lacks:" $hits; ok=1; }
    return $ok
}
