#!/usr/bin/env bash
# The build's reader of the sound table takes the tables it should, writing the header the
# game and the synthesiser include, and refuses the others with the line and the reason.
# Usage: sound-table-test.sh PATH/TO/MovoSoundTable.cmake CMAKE
set -uo pipefail
module="${1:?usage: sound-table-test.sh MODULE CMAKE}"
cmake="${2:?usage: sound-table-test.sh MODULE CMAKE}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

cat >"$work/read.cmake" <<SCRIPT
cmake_minimum_required(VERSION 3.18)
include("$module")
movo_read_sound_table("\${TABLE}" "\${HEADER}" files)
message("files: \${files}")
SCRIPT

# expect NAME ACCEPT|REFUSE EXPECTED-TEXT TABLE: ACCEPT wants EXPECTED-TEXT in the header
# written, REFUSE wants it in the message; both with runs of spaces and line ends as one
# space.
expect() {
    local name="$1" verdict="$2" wanted="$3" text="$4"
    printf '%b' "$text" >"$work/sounds.txt"
    rm -f "$work/SoundTable.h"
    local output status
    output="$("$cmake" -DTABLE="$work/sounds.txt" -DHEADER="$work/SoundTable.h" -P "$work/read.cmake" 2>&1)"
    status=$?
    if [ "$verdict" = ACCEPT ]; then
        if [ "$status" -ne 0 ] || [[ "$(tr -s ' \n' ' ' <"$work/SoundTable.h" 2>/dev/null)" != *"$wanted"* ]]; then
            echo "FAIL $name: status $status, output '$output', header without '$wanted'"
            failures=$((failures + 1))
        fi
    elif [ "$status" -eq 0 ] || [[ "$(tr -s ' \n' ' ' <<<"$output")" != *"$wanted"* ]]; then
        echo "FAIL $name: status $status, output '$output', expected '$wanted'"
        failures=$((failures + 1))
    elif [ -e "$work/SoundTable.h" ]; then
        echo "FAIL $name: refused, but a header was written"
        failures=$((failures + 1))
    fi
}

expect "a file name with spaces" ACCEPT '{SoundKind::Music, "A Theme - Two.ogg", "Sounds/A Theme - Two.ogg"},' \
    "Level1Music music A Theme - Two.ogg\n"
expect "cues in table order" ACCEPT "CueOne, CueTwo, SoundCueCount" \
    "One effect one.wav\nTwo jingle two.ogg\n"
expect "comments, blank lines, tabs and CRLF" ACCEPT '{SoundKind::Jingle, "b.ogg", "Sounds/b.ogg"},' \
    "# the sounds\r\n\r\n\tDeath\tjingle\tb.ogg  \r\n"
expect "no file name" REFUSE "sounds.txt:2: expected a name, a kind and a file name" \
    "# one\nStomp effect\n"
expect "a name with a dash" REFUSE 'the name "Hurt-Side" is not a letter followed by letters and digits' \
    "Hurt-Side effect a.wav\n"
expect "a name starting with a digit" REFUSE 'the name "1Up" is not a letter' "1Up effect a.wav\n"
expect "an unknown kind" REFUSE 'the kind "sfx" is none of music, jingle and effect' "Stomp sfx a.wav\n"
expect "a quote in the file name" REFUSE 'the file name "a"b.wav" holds a character other than' \
    'Stomp effect a"b.wav\n'
expect "a folder in the file name" REFUSE 'the file name "x/a.wav" holds a character other than' \
    "Stomp effect x/a.wav\n"
expect "another format" REFUSE 'the file name "a.mp3" ends in neither .ogg nor .wav' "Stomp effect a.mp3\n"
expect "a name twice" REFUSE "sounds.txt:3: the name Stomp is an earlier line's" \
    "Stomp effect a.wav\nFlag effect b.wav\nStomp effect c.wav\n"
expect "a file twice" REFUSE 'sounds.txt:2: the file name "a.wav" is an earlier line' \
    "Stomp effect a.wav\nFlag effect a.wav\n"
expect "a semicolon" REFUSE "holds a ';', which no line may contain" "Stomp effect a.wav\n# x;y\n"
expect "a bracket" REFUSE "holds a '[', which no line may contain" "Stomp effect a[1].wav\n"
expect "no sound" REFUSE "sounds.txt: lists no sound" "# nothing yet\n\n"

[ "$failures" -eq 0 ] && echo "sound table: all cases pass"
exit "$((failures > 0))"
