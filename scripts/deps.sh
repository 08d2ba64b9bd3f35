# Sourced by the scripts: installs Debian packages, only those that dpkg-query reports missing,
# so a second call installs nothing. pelorin_install_deps always installs what building and
# running the program need, plus the packages it is given.

# Building: the compiler and Qt, Qt's Linguist tools (lupdate, lrelease and their CMake
# commands) for the translations, cmark-gfm for the documentation page. Running: Qt's own
# Japanese texts, Japanese fonts, and Qt's SVG plugins, which draw the windows' icon. Chat
# exports: RapidJSON reads their JSON as a stream, libarchive their ZIP and TAR files in place;
# Nettle checksums the sources.
PELORIN_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-l10n-tools qt6-tools-dev cmark-gfm
    rapidjson-dev libarchive-dev nettle-dev
    qt6-translations-l10n fonts-noto-cjk libqt6svg6
)

# The Debian package: CPack's dependency lookup (dpkg-shlibdeps, file) and lintian.
PELORIN_PACKAGE_TOOLS=(dpkg-dev file lintian)

# The tests: pages in headless Chromium, their scripts parsed by Node.js, the metainfo and
# manual page checks, the package, what a desktop makes of its launcher (the desktop file
# checks, xdg-mime, gio launch), and outputs on FAT and exFAT images (made by dosfstools and
# exfatprogs, mounted through FUSE where the kernel cannot).
PELORIN_TEST_PACKAGES=(
    chromium nodejs appstream man-db desktop-file-utils xdg-utils libglib2.0-bin
    dosfstools exfatprogs fusefat exfat-fuse
    "${PELORIN_PACKAGE_TOOLS[@]}"
)

pelorin_install_deps() {
    local missing=() p
    for p in "${PELORIN_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
