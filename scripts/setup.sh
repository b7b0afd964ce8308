# Shared set-up for scripts/play, scripts/test and scripts/web: installs the Debian
# packages the build and the tests need, and configures and builds a build folder.
# Sourced, not run.

MOVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Parallel build and test jobs: one per processor, at least two.
MOVO_JOBS="$(nproc 2>/dev/null || echo 2)"
if [ "$MOVO_JOBS" -lt 2 ]; then
    MOVO_JOBS=2
fi

# What the game and its headless replay need: the compiler, SDL 1.2 with its mixer, the
# OpenGL headers and libpng the engine is built with, and the libraries of the tools that
# make the game's files. scripts/play installs these only. The names are the same on Debian 12 and
# Debian 13 (there libsdl1.2-dev is sdl12-compat's).
MOVO_PACKAGES=(
    build-essential cmake pkg-config
    libsdl1.2-dev libsdl-mixer1.2-dev libgl1-mesa-dev
    libpng-dev libxml2-dev libvorbis-dev
)

# What the tests, the benchmarks and the fuzzing add: GoogleTest and Google Benchmark,
# Mesa's software renderer, a private X server with the XTest extension, doxygen for the
# API reference, clang with its runtime (libclang-rt-dev is the runtime of the release's
# default clang, 14 on Debian 12 and 19 on Debian 13), and SDL 2, on which the
# sdl12-compat library of the second test run sits.
MOVO_TEST_PACKAGES=(
    libgtest-dev libbenchmark-dev
    libgl1-mesa-dri
    xvfb xauth libx11-dev libxtst-dev
    doxygen
    clang libclang-rt-dev
    libsdl2-2.0-0
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

# movo_sdl12_compat DIR: unpacks Debian's sdl12-compat (SDL 1.2's interface on SDL 2, the
# SDL 1.2 that most distributions ship now) into DIR/sdl12-compat/ without installing it,
# and prints the folder that holds its libSDL-1.2.so.0, for LD_LIBRARY_PATH. Prints
# nothing when the system's own SDL 1.2 is sdl12-compat already (Debian 13), and fails
# when the package cannot be had.
movo_sdl12_compat() {
    local dir="$MOVO_ROOT/$1/sdl12-compat"
    # Debian 13's libsdl1.2debian is built from sdl12-compat; Debian 12's is SDL 1.2.15.
    if [ "$(dpkg-query -W -f='${source:Package}' libsdl1.2debian 2>/dev/null)" = "sdl12-compat" ]; then
        return 0
    fi
    local library
    library="$(find "$dir/root" -name libSDL-1.2.so.0 2>/dev/null | head -1)"
    if [ -z "$library" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        # apt's download user may not write here; root downloads it itself.
        if ! (cd "$dir" && apt-get -q -o APT::Sandbox::User=root download libsdl1.2-compat >&2); then
            movo_as_root env DEBIAN_FRONTEND=noninteractive apt-get update >&2
            (cd "$dir" && apt-get -q -o APT::Sandbox::User=root download libsdl1.2-compat >&2) || return 1
        fi
        dpkg-deb -x "$dir"/libsdl1.2-compat_*.deb "$dir/root" || return 1
        library="$(find "$dir/root" -name libSDL-1.2.so.0 | head -1)"
        [ -n "$library" ] || return 1
    fi
    dirname "$library"
}

# movo_game_only_options DIR: the configure options of a build folder made for the game
# alone (no tests, examples or benchmarks, and so none of their packages), when DIR has no
# cache yet; nothing when it has one, whose options then stay as they are.
movo_game_only_options() {
    if [ ! -f "$MOVO_ROOT/$1/CMakeCache.txt" ]; then
        echo "-DMOVO_BUILD_TESTS=OFF -DMOVO_BUILD_EXAMPLES=OFF -DMOVO_BENCHMARKS=OFF"
    fi
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
