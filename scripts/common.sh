# Shared by ./run and ./test: install what is missing, then build in Release.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="${KT508_BUILD:-$ROOT/build}"

# qt6-translations-l10n: Qt's own dialogs in Spanish; qt6-qpa-plugins: the VNC platform ./run
# serves the screen with when there is no display; libxlsxwriter-dev: the export's workbooks;
# python3-openpyxl: the tests read those workbooks back; libpq-dev: the data layer talks to
# PostgreSQL through libpq.
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libqt6sql6-psql
          libpq-dev libqt6sql6-odbc libgl1-mesa-dev postgresql postgresql-client odbc-postgresql unixodbc-dev
          tdsodbc libxlsxwriter-dev qt6-translations-l10n qt6-qpa-plugins xvfb xauth fonts-dejavu-core
          clang-format python3-openpyxl)

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

# The code as .clang-format writes it; CI fails on any file that differs.
check_format() {
    local files
    mapfile -t files < <(cd "$ROOT" && find bench host kt508 suite tests -name '*.cpp' -o -name '*.h' | sort)
    (cd "$ROOT" && clang-format --dry-run -Werror "${files[@]}")
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}

# The host's options that never show the screen: a capture, the check, the export, the import,
# the help, registration.
needs_no_screen() {
    local a
    for a in "$@"; do
        case "$a" in
            --screenshot|--screenshot=*|--verificar|--exportar|--exportar=*|--importar|--importar=*|--help|-h|--version|-v|--registrar|--registrar=*|--desregistrar|--desregistrar=*)
                return 0 ;;
        esac
    done
    return 1
}

free_vnc_port() {
    local port
    for port in $(seq 5900 5999); do
        (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return 0; }
    done
    return 1
}

# No display: Qt's VNC platform serves the screen, to this machine only (the host restricts it).
serve_over_vnc() {
    local port
    port=$(free_vnc_port) || { echo "No hay un puerto libre para VNC (5900-5999)." >&2; return 1; }
    cat <<MSG
No hay pantalla: Orbanel se sirve por VNC en localhost:$port, solo a esta máquina.
  En esta máquina:  vncviewer localhost::$port
  Desde otra:       ssh -L $port:localhost:$port $(hostname)   y luego   vncviewer localhost::$port
Para terminar: Archivo → Salir en la pantalla, o Ctrl+C aquí.
MSG
    QT_QPA_PLATFORM="vnc:size=1280x800:port=$port" exec "$BUILD/bin/orbanel" "$@"
}
