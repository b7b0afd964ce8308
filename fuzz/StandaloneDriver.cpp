// The main of a fuzz target built without libFuzzer: runs the target once on every file
// named on the command line, and on every file inside a named folder (in name order), so
// that the seed corpus and the inputs of past findings run as ordinary tests. A finding
// ends the process the way it does under the fuzzer (an assertion, a trap or a sanitizer
// report).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Runs the target on the file at path; false when it cannot be read.
bool RunFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // As under libFuzzer, an empty input too comes at a valid address.
    static const uint8_t nothing = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &nothing : bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    bool readable = true;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(argv[i]);
        }
        for (const auto& file : files) {
            readable = RunFile(file) && readable;
            ++count;
        }
    }
    std::printf("%s: ran %d inputs\n", argc > 0 ? argv[0] : "fuzz target", count);
    return readable ? 0 : 1;
}
