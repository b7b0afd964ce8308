#!/usr/bin/env bash
# One step of the package test, as an engine user takes it:
#   install        installs the build into a fresh prefix and makes the consumer's resource
#                  file with the installed movo-pixelart and movo-encode
#   headers        checks that the installed headers are exactly the public ones, the
#                  umbrella header movo/Movo.h and the headers it includes, and that each
#                  compiles on its own (so none needs a header that is not installed)
#   pkg-config     builds the consumer with pkg-config's flags, runs it, checks its picture
#                  and that the engine names the version pkg-config gives
#   find-package   the same with CMake's find_package(Movo) and the version it finds
#   add-subdirectory  the same with the source tree added by add_subdirectory, after
#                  checking that only the engine and the tools are configured there
#   engine-only    configures the checkout with -DMOVO_ENGINE_ONLY=ON and checks that only
#                  the engine and the tools are configured, with their install rules
#   first-program  makes the first program's resource file with the installed tools,
#                  builds the program with pkg-config's flags and runs it headless: its
#                  one line of output, nothing on standard error
# Each way of building the consumer also checks that no internal header of the engine can
# be found through the include folders it compiles with.
# Environment: MOVO_BUILD (the build folder), MOVO_SOURCE (the checkout), MOVO_WORK (a
# folder of the test's own) and MOVO_PNG_FACTS (the picture checker).
set -euo pipefail
step="$1"
consumer_source="$MOVO_SOURCE/tests/package/consumer"
first_source="$MOVO_SOURCE/tests/package/first-program"
prefix="$MOVO_WORK/prefix"

fail() {
    echo "package test ($step): $*" >&2
    exit 1
}

# The engine's public headers, one name a line: movo/Movo.h and the headers it includes.
public_headers() {
    echo Movo.h
    sed -n 's/^#include "\(Mv[A-Za-z0-9]*\.h\)"$/\1/p' "$MOVO_SOURCE/engine/movo/Movo.h"
}

# The engine's internal headers: every other header of its folders.
internal_headers() {
    local public header
    public="$(public_headers)"
    for header in "$MOVO_SOURCE"/engine/*/*.h; do
        grep -qxF "${header##*/}" <<<"$public" || echo "${header##*/}"
    done
}

# Fails when the compiler flags after $1 (what they are) name an include folder in which
# an internal header of the engine lies, as NAME.h or as movo/NAME.h.
check_include_folders() {
    local what="$1" flag folder header internal taken=""
    shift
    local folders=()
    for flag in "$@"; do
        if [ -n "$taken" ]; then
            folders+=("$flag")
            taken=""
            continue
        fi
        case "$flag" in
            -I | -isystem | -iquote | -idirafter) taken=yes ;;
            -I*) folders+=("${flag#-I}") ;;
            -isystem*) folders+=("${flag#-isystem}") ;;
            -iquote*) folders+=("${flag#-iquote}") ;;
        esac
    done
    [ "${#folders[@]}" -gt 0 ] || fail "$what name no include folder"
    internal="$(internal_headers)"
    [ -n "$internal" ] || fail "no internal header found in $MOVO_SOURCE/engine"
    for folder in "${folders[@]}"; do
        for header in $internal; do
            if [ -e "$folder/$header" ] || [ -e "$folder/movo/$header" ]; then
                fail "$what find the internal header $header in $folder"
            fi
        done
    done
}

# The flags the consumer's source was compiled with in the CMake build folder $1, from its
# compilation database.
consumer_flags() {
    local line
    line="$(grep -F -- "-c $consumer_source/consumer.cpp\"" "$1/compile_commands.json")" ||
        fail "no compile command for consumer.cpp in $1"
    line="${line#*\"command\": \"}"
    echo "${line%\",*}"
}

# Runs the consumer program $1 under a private X server and checks what it drew: the
# sky-blue screen, and the 12 x 12 badge at (100, 60): transparent corners, dark outline,
# yellow rim, red heart. With a version $2 (the package's), checks that the renderer
# description and the engine's headers name that version.
run_consumer() {
    local program="$1" version="${2:-}" picture="$MOVO_WORK/$step.png" output
    rm -f "$picture"
    output="$(SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy timeout 60 \
        xvfb-run -a -s "-screen 0 640x480x24 -noreset" "$program" "$MOVO_WORK/consumer.dat" "$picture")" \
        || fail "the consumer failed"
    "$MOVO_PNG_FACTS" "$picture" 320 240 0,0=5AA0E6 319,239=5AA0E6 100,60=5AA0E6 112,72=5AA0E6 \
        100,64=202030 101,64=F8D040 105,65=E03040 108,69=F8D040 || fail "the consumer's picture is wrong"
    if [ -n "$version" ]; then
        local description headers
        description="$(sed -n 1p <<<"$output")"
        headers="$(sed -n 2p <<<"$output")"
        [[ "$description" == "v$version "* ]] \
            || fail "the renderer description '$description' does not name the package's version $version"
        [ "$headers" = "$version" ] || fail "the headers say version $headers, the package $version"
    fi
}

case "$step" in
install)
    rm -rf "$MOVO_WORK"
    mkdir -p "$MOVO_WORK"
    cmake --install "$MOVO_BUILD" --prefix "$prefix" >/dev/null
    for file in include/movo/Movo.h include/movo/MvStage.h include/movo/MvPngImage.h include/movo/MvVersion.h \
                lib/libmovo_engine.a lib/pkgconfig/movo.pc \
                lib/cmake/Movo/MovoConfig.cmake lib/cmake/Movo/MovoTargets.cmake \
                bin/movo-encode bin/movo-inspect bin/movo-pixelart; do
        [ -e "$prefix/$file" ] || fail "$file was not installed"
    done
    "$prefix/bin/movo-pixelart" -o "$MOVO_WORK/art" "$consumer_source/palette.txt" "$consumer_source/badge.pix" >/dev/null
    "$prefix/bin/movo-encode" "$consumer_source/consumer.xml" -o "$MOVO_WORK/consumer.dat" \
        --image-dir "$MOVO_WORK/art" >/dev/null
    "$prefix/bin/movo-inspect" "$MOVO_WORK/consumer.dat" | grep -q 'Badge' || fail "movo-inspect does not list Badge"
    ;;
headers)
    [ "$(find "$prefix/include" -mindepth 1 -maxdepth 1 -printf '%f\n')" = movo ] ||
        fail "include/ holds more than movo/"
    expected="$(public_headers | sort)"
    installed="$(find "$prefix/include/movo" -mindepth 1 -printf '%f\n' | sort)"
    if [ "$installed" != "$expected" ]; then
        diff <(echo "$expected") <(echo "$installed") | sed -n 's/^[<>] //p' >&2 || true
        for header in $(internal_headers); do
            [ ! -e "$prefix/include/movo/$header" ] || echo "the internal header $header was installed" >&2
        done
        fail "the installed headers are not the public ones (above: those missing or extra)"
    fi
    read -r -a cflags <<<"$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags movo)"
    for header in $expected; do
        echo "#include <movo/$header>" |
            c++ -std=c++17 -Wall -Wextra -Werror -fsyntax-only "${cflags[@]}" -x c++ - ||
            fail "movo/$header does not compile on its own with the installed headers"
    done
    ;;
pkg-config)
    mkdir -p "$MOVO_WORK/pkg-config"
    flags="$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs movo)"
    version="$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --modversion movo)"
    # shellcheck disable=SC2086
    check_include_folders "pkg-config's flags" $flags
    # shellcheck disable=SC2086
    c++ -std=c++17 -Wall -Wextra -o "$MOVO_WORK/pkg-config/consumer" "$consumer_source/consumer.cpp" $flags
    run_consumer "$MOVO_WORK/pkg-config/consumer" "$version"
    ;;
find-package)
    cmake -S "$consumer_source" -B "$MOVO_WORK/find-package" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
    cmake --build "$MOVO_WORK/find-package" >/dev/null
    # shellcheck disable=SC2046
    check_include_folders "the consumer's flags with find_package" $(consumer_flags "$MOVO_WORK/find-package")
    run_consumer "$MOVO_WORK/find-package/consumer" "$(cat "$MOVO_WORK/find-package/package-version.txt")"
    ;;
add-subdirectory)
    cmake -S "$consumer_source" -B "$MOVO_WORK/add-subdirectory" -DMOVO_SOURCE_DIR="$MOVO_SOURCE" \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
    targets="$(cmake --build "$MOVO_WORK/add-subdirectory" --target help)"
    for wanted in movo_engine movo-encode movo-inspect; do
        grep -q "\\.\\.\\. $wanted\$" <<<"$targets" || fail "$wanted is not configured"
    done
    for unwanted in movo_tests movo-game movo_bench movo_game hello-stage; do
        if grep -q "\\.\\.\\. $unwanted\$" <<<"$targets"; then
            fail "$unwanted is configured, though Movo is not the top-level project"
        fi
    done
    jobs="$(nproc 2>/dev/null || echo 2)"
    cmake --build "$MOVO_WORK/add-subdirectory" --target consumer -j "$jobs" >/dev/null
    # shellcheck disable=SC2046
    check_include_folders "the consumer's flags with add_subdirectory" \
        $(consumer_flags "$MOVO_WORK/add-subdirectory")
    run_consumer "$MOVO_WORK/add-subdirectory/consumer"
    ;;
engine-only)
    cmake -S "$MOVO_SOURCE" -B "$MOVO_WORK/engine-only" -DMOVO_ENGINE_ONLY=ON >/dev/null
    targets="$(cmake --build "$MOVO_WORK/engine-only" --target help)"
    for wanted in movo_engine movo-encode movo-inspect movo-pixelart install; do
        grep -q "\\.\\.\\. $wanted\$" <<<"$targets" || fail "$wanted is not configured"
    done
    for unwanted in movo_tests movo-game movo_game movo-replay movo-synth movo_bench hello-stage; do
        if grep -q "\\.\\.\\. $unwanted\$" <<<"$targets"; then
            fail "$unwanted is configured in an engine-only build"
        fi
    done
    ;;
first-program)
    folder="$MOVO_WORK/first-program"
    rm -rf "$folder"
    mkdir -p "$folder"
    "$prefix/bin/movo-pixelart" -o "$folder" "$first_source/palette.txt" "$first_source/hero.pix" >/dev/null
    "$prefix/bin/movo-encode" "$first_source/hero.xml" -o "$folder/hero.dat" --image-dir "$folder" >/dev/null
    flags="$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs movo)"
    # shellcheck disable=SC2086
    c++ -std=c++17 -Wall -Wextra -o "$folder/first-program" "$first_source/first-program.cpp" $flags
    # As written, from the folder holding hero.dat, on SDL's dummy video driver.
    output="$(cd "$folder" && SDL_VIDEODRIVER=dummy timeout 60 ./first-program 2>"$folder/errors.txt")" \
        || fail "the first program failed: $(cat "$folder/errors.txt")"
    [ "$output" = "The hero walked to x = 500." ] || fail "the first program printed: $output"
    [ ! -s "$folder/errors.txt" ] || fail "the first program wrote to standard error: $(cat "$folder/errors.txt")"
    # Without its resource file it ends with the engine's reason on standard error.
    rm "$folder/hero.dat"
    if (cd "$folder" && SDL_VIDEODRIVER=dummy timeout 60 ./first-program >"$folder/out.txt" 2>"$folder/errors.txt"); then
        fail "the first program ran without hero.dat"
    fi
    grep -q "hero.dat" "$folder/errors.txt" || fail "no reason on standard error for the missing hero.dat"
    [ ! -s "$folder/out.txt" ] || fail "the first program printed without hero.dat: $(cat "$folder/out.txt")"
    ;;
*)
    fail "unknown step"
    ;;
esac
