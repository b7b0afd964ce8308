#ifndef FUZZ_SCRATCH_FOLDER_H
#define FUZZ_SCRATCH_FOLDER_H

#include <cstddef>
#include <cstdint>
#include <string>

// A private folder for the files of one fuzz run, for code under test that reads only
// from paths: made under $TMPDIR (or /tmp) on first use, removed with its files when the
// process ends normally.
class FuzzScratchFolder {
public:
    // Writes size bytes at data to the file name (no slashes) in the folder, replacing it,
    // and returns its path. Aborts when the folder or the file cannot be written.
    static std::string Write(const char* name, const uint8_t* data, size_t size);
    // The path of the file name (no slashes) in the folder.
    static std::string Path(const char* name);
};

#endif
