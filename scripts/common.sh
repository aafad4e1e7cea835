# Shared by ./run and ./test: install what is missing, then build in Release.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="${KT508_BUILD:-$ROOT/build}"

# qt6-translations-l10n: Qt's own dialogs in Spanish; qt6-qpa-plugins: the VNC platform ./run
# serves the screen with when there is no display.
PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libqt6sql6-psql libqt6sql6-odbc
          libgl1-mesa-dev postgresql postgresql-client odbc-postgresql unixodbc-dev tdsodbc
          qt6-translations-l10n qt6-qpa-plugins xvfb xauth fonts-dejavu-core)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Instalando: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}
