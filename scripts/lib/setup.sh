# Shared set-up for the project's scripts: installs the Debian packages that are missing; what several
# scripts need alike.

# What a native build of the programs needs: the tools, the compiler, Qt with its Portuguese translation
# (built into the window) and the header libraries.
native_build_packages=(cmake g++ ninja-build qt6-base-dev qt6-translations-l10n nlohmann-json3-dev fonts-wine)
# The host's Qt, whose moc, rcc and uic the cross builds of Qt and of the window use.
qt_host_options=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

# install_missing PACKAGE...: apt-get installs only what is not there; updates the lists only then.
# PACKAGE may name an architecture (wine32:i386).
install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    echo "=== installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    # A package named with :i386 (32-bit Wine) needs that architecture added before the lists are read.
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386 || { echo "could not add the i386 architecture" >&2; exit 1; }
    fi
    "${sudo[@]}" apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        { echo "could not install: ${missing[*]}" >&2; exit 1; }
}
