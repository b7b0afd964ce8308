# Shared set-up for scripts/play and scripts/test: installs the Debian packages the
# build and the tests need, and configures and builds a build folder. Sourced, not run.

MOVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Parallel build and test jobs: one per processor, at least two.
MOVO_JOBS="$(nproc 2>/dev/null || echo 2)"
if [ "$MOVO_JOBS" -lt 2 ]; then
    MOVO_JOBS=2
fi

MOVO_PACKAGES=(
    build-essential cmake pkg-config
    libsdl1.2-dev libsdl-mixer1.2-dev libgl1-mesa-dev libgl1-mesa-dri
    libgtest-dev libbenchmark-dev
    libpng-dev libxml2-dev libvorbis-dev
    xvfb xauth libx11-dev libxtst-dev
    doxygen
    clang libclang-rt-14-dev
)

# Runs a command as root: directly when we are root, through sudo otherwise.
movo_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Installs the packages that are not installed yet; does nothing when all are there.
movo_install_packages() {
    local missing=()
    local package
    for package in "${MOVO_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    movo_as_root env DEBIAN_FRONTEND=noninteractive apt-get update
    movo_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

# movo_build DIR [CMAKE OPTION...] [-- TARGET...]: configures DIR (under the checkout) and
# builds the targets named after "--", or everything when none is named. Options left out
# keep the values DIR's cache already has.
movo_build() {
    local dir="$1"
    shift
    local options=()
    while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ "$#" -eq 0 ] || shift
    cmake -S "$MOVO_ROOT" -B "$MOVO_ROOT/$dir" "${options[@]}"
    if [ "$#" -eq 0 ]; then
        cmake --build "$MOVO_ROOT/$dir" -j "$MOVO_JOBS"
    else
        cmake --build "$MOVO_ROOT/$dir" -j "$MOVO_JOBS" --target "$@"
    fi
}
