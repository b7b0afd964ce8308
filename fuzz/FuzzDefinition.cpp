// Fuzz target: the encoder's XML definition with a picture. The input is the definition's
// text up to the PNG signature (\x89PNG), and from there a PNG file, which the definition
// finds as "a.png" (and as the data file "a.dat"). A definition that the encoder builds
// must make a resource file that the loader reads back with every resource.

#include "FuzzScratchFolder.h"
#include "MvLog.h"
#include "MvResourceDefinition.h"
#include "MvResourceEncoder.h"
#include "MvResourceVault.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const uint8_t PngSignature[] = {0x89, 'P', 'N', 'G'};

// Paths that could reach outside the scratch folder (and so read devices or large files)
// are left alone: a parent folder, an attribute value (="/..., = '/...) or element text
// (>/...) that begins with a slash, and character references and a document type, which
// could spell or supply such a value.
bool ReachesOutside(const std::string& text)
{
    for (const char* risky : {"..", "&#", "<!DOCTYPE"})
        if (text.find(risky) != std::string::npos)
            return true;
    for (size_t at = text.find_first_of("=>"); at != std::string::npos; at = text.find_first_of("=>", at + 1)) {
        const size_t value = text.find_first_not_of(" \t\r\n\"'", at + 1);
        if (value != std::string::npos && text[value] == '/')
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    const uint8_t* const end = data + size;
    const uint8_t* const png = std::search(data, end, PngSignature, PngSignature + sizeof PngSignature);
    const std::string text(reinterpret_cast<const char*>(data), png - data);
    if (ReachesOutside(text))
        return 0;
    // Most inputs are refused: their error lines would drown the fuzzer's own output.
    MvSetErrorStream(nullptr);
    FuzzScratchFolder::Write("a.png", png, end - png);
    FuzzScratchFolder::Write("a.dat", png, end - png);
    const std::string path = FuzzScratchFolder::Write("def.xml", data, png - data);

    MvResourceDefinition definition;
    std::string error;
    if (!definition.Load(path, &error))
        return 0;
    MvResourceEncoder::HeaderText(definition, "ids.h");
    MvResourceVault built;
    std::vector<std::string> warnings;
    MvResourceEncoder encoder(definition, "");
    if (!encoder.Build(&built, &error, &warnings))
        return 0;
    const std::string filePath = FuzzScratchFolder::Path("out.dat");
    if (!MvResourceEncoder::WriteResourceFile(built, filePath, &error))
        __builtin_trap();
    MvResourceVault loaded;
    if (!loaded.LoadDatFile(filePath.c_str()) || loaded.ResourceCount() != built.ResourceCount())
        __builtin_trap(); // the encoder wrote a file the loader does not read back whole
    return 0;
}
