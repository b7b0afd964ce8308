# Shared set-up for scripts/play, scripts/test and scripts/web: installs the Debian
# packages the build and the tests need, and configures and builds a build folder.
# Sourced, not run.

MOVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Parallel build and test jobs: one per processor, at least two.
MOVO_JOBS="$(nproc 2>/dev/null || echo 2)"
if [ "$MOVO_JOBS" -lt 2 ]; then
    MOVO_JOBS=2
fi

MOVO_PACKAGES=(
    build-essential cmake pkg-config
    libsdl1.2-dev libsdl-mixer1.2-dev libgl1-mesa-dev libgl1-mesa-dri libpng-dev
    libgtest-dev libbenchmark-dev
    libxml2-dev libvorbis-dev
    xvfb xauth libx11-dev libxtst-dev
    doxygen
    clang libclang-rt-14-dev
)

# What the web version adds: emscripten (its JavaScript tools run on node and need acorn),
# and headless Chromium driven from Python for its test.
MOVO_WEB_PACKAGES=(
    emscripten nodejs node-acorn python3
    chromium chromium-driver python3-selenium python3-pil
)

# Runs a command as root: directly when we are root, through sudo otherwise.
movo_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# movo_install_packages [PACKAGE...]: installs those of the packages (by default
# MOVO_PACKAGES) that are not installed yet; does nothing when all are there.
movo_install_packages() {
    local missing=()
    local package
    [ "$#" -gt 0 ] || set -- "${MOVO_PACKAGES[@]}"
    for package in "$@"; do
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
