#include "FuzzScratchFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// The folder's path, made on the first call. It is never destroyed, so that the handler
// that removes the folder at exit can still read it.
const std::string& Folder()
{
    static const std::string* const folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/movo-fuzz-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) {
            std::perror(pattern.c_str());
            std::abort();
        }
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return new std::string(pattern);
    }();
    return *folder;
}

} // namespace

std::string FuzzScratchFolder::Path(const char* name) { return Folder() + "/" + name; }

std::string FuzzScratchFolder::Write(const char* name, const uint8_t* data, size_t size)
{
    const std::string path = Path(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}
