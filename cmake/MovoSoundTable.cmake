# The game's sound table, assets/sounds/sounds.txt, read for the build: the file names in
# MOVO_SOUND_FILE_NAMES (in table order), and the C++ header SoundTable.h in
# MOVO_SOUND_TABLE_DIR, which the game and movo-synth include. Every folder that needs the
# table includes this file; reading it again writes the same header, which is then left as
# it is. Included by a script (cmake -P), it only defines movo_read_sound_table.

# Reads the sound table at table, writes header from it and sets files_var to the file
# names in table order. A line the table does not allow stops with one message naming the
# table, the line and what is wrong.
function(movo_read_sound_table table header files_var)
  file(READ ${table} text)
  # These would split or join lines in CMake's lists, and no line needs them.
  foreach(character ";" "[" "]")
    string(FIND "${text}" "${character}" at)
    if(at GREATER_EQUAL 0)
      message(FATAL_ERROR "${table}: holds a '${character}', which no line may contain")
    endif()
  endforeach()
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")

  set(number 0)
  set(names)
  set(files)
  set(cues "")
  set(rows "")
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    set(where "${table}:${number}")
    if(NOT line MATCHES "^([^ \t]+)[ \t]+([^ \t]+)[ \t]+(.+)$")
      message(FATAL_ERROR "${where}: expected a name, a kind and a file name, not \"${line}\"")
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(kind "${CMAKE_MATCH_2}")
    set(file "${CMAKE_MATCH_3}")
    if(NOT name MATCHES "^[A-Za-z][A-Za-z0-9]*$")
      message(FATAL_ERROR "${where}: the name \"${name}\" is not a letter followed by letters and digits")
    endif()
    if(kind STREQUAL "music")
      set(kindConstant Music)
    elseif(kind STREQUAL "jingle")
      set(kindConstant Jingle)
    elseif(kind STREQUAL "effect")
      set(kindConstant Effect)
    else()
      message(FATAL_ERROR "${where}: the kind \"${kind}\" is none of music, jingle and effect")
    endif()
    if(NOT file MATCHES "^[A-Za-z0-9 ._-]+$")
      message(FATAL_ERROR "${where}: the file name \"${file}\" holds a character other than letters, "
                          "digits, spaces, '.', '_' and '-'")
    endif()
    if(NOT file MATCHES "\\.(ogg|wav)$")
      message(FATAL_ERROR "${where}: the file name \"${file}\" ends in neither .ogg nor .wav")
    endif()
    if(name IN_LIST names)
      message(FATAL_ERROR "${where}: the name ${name} is an earlier line's")
    endif()
    if(file IN_LIST files)
      message(FATAL_ERROR "${where}: the file name \"${file}\" is an earlier line's")
    endif()
    list(APPEND names "${name}")
    list(APPEND files "${file}")
    string(APPEND cues "    Cue${name},\n")
    string(APPEND rows "    {SoundKind::${kindConstant}, \"${file}\", \"Sounds/${file}\"},\n")
  endforeach()
  list(LENGTH names count)
  if(count EQUAL 0)
    message(FATAL_ERROR "${table}: lists no sound")
  endif()

  file(CONFIGURE OUTPUT ${header} @ONLY CONTENT
"// The game's sounds, from assets/sounds/sounds.txt, written by the build.
// Do not edit: change the table and build again.
#ifndef MOVO_SOUND_TABLE_H
#define MOVO_SOUND_TABLE_H

// What a sound is for, which decides how the game plays it.
enum class SoundKind {
    Music,  // a level's music, looping on the music channel
    Jingle, // played once on the music channel once the music has stopped
    Effect, // played once on the effect channel, cutting off the effect before it
};

// The sounds, in the table's order.
enum SoundCue {
@cues@    SoundCueCount
};

// One sound: what it is for, its file's name in the game's \"Sounds/\" folder, and the path
// the game opens it by, from the game's folder.
struct SoundTableRow {
    SoundKind kind;
    const char* fileName;
    const char* path;
};

// The sound of each cue, at the cue's index.
constexpr SoundTableRow SoundTable[SoundCueCount] = {
@rows@};

#endif
")
  set(${files_var} "${files}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

set(MOVO_SOUND_TABLE_FILE ${PROJECT_SOURCE_DIR}/assets/sounds/sounds.txt)
set(MOVO_SOUND_TABLE_DIR ${PROJECT_BINARY_DIR}/generated)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MOVO_SOUND_TABLE_FILE})
movo_read_sound_table(${MOVO_SOUND_TABLE_FILE} ${MOVO_SOUND_TABLE_DIR}/SoundTable.h MOVO_SOUND_FILE_NAMES)
