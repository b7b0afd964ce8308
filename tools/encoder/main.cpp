// movo-encode: builds a resource file, and optionally a C++ header of its ids, from an XML
// resource definition and the PNG pictures and data files it names.
//
//   movo-encode sprites.xml -o Sprites.dat --header SpriteIds.h --image-dir build/art
//
// Exits 0 on success; 1 with one message (file, and line for XML problems) when the
// definition or a picture is wrong or a file cannot be written; 2 on a bad command line.

#include "MvCommandLine.h"
#include "MvLog.h"
#include "MvResourceEncoder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char Usage[] =
    "Usage: movo-encode DEFINITION.xml -o OUTPUT.dat [--header OUTPUT.h] [--image-dir DIR] [--verbose]\n"
    "\n"
    "Reads the resource definition DEFINITION.xml and the PNG pictures it names and writes\n"
    "the resource file OUTPUT.dat.\n"
    "\n"
    "  -o, --output FILE   the resource file to write (required)\n"
    "  --header FILE       also write a C++ header with the resource and action ids\n"
    "  --image-dir DIR     find pictures in DIR instead of the definition's folder\n"
    "  --verbose           show the engine's progress lines while encoding\n"
    "  -h, --help          show this help\n"
    "\n"
    "The definition, resources in the order the file holds them:\n"
    "  <resources>\n"
    "    <sprite name=\"Hero\" id=\"12\">\n"
    "      <action name=\"Stand.Left\" id=\"1\">\n"
    "        <frame image=\"hero.png\" x=\"0\" y=\"0\" width=\"24\" height=\"36\"\n"
    "               hotx=\"12\" hoty=\"36\" dx=\"0\" dy=\"0\"/>\n"
    "      </action>\n"
    "    </sprite>\n"
    "    <tile name=\"Grass\" id=\"20\" image=\"ground.png\" x=\"16\" y=\"0\" size=\"16\"/>\n"
    "    <font name=\"Digits\" id=\"30\" image=\"digits.png\" type=\"0\" length=\"10\" start=\"48\"/>\n"
    "    <font name=\"Small\" id=\"31\" image=\"small.png\" type=\"1\" start=\"33\" space=\"32\"/>\n"
    "    <text name=\"Credits\" id=\"40\" file=\"credits.txt\"/>\n"
    "    <text name=\"Hint\" id=\"41\">Press Up to jump.</text>\n"
    "    <binary name=\"Level1\" id=\"50\" file=\"level1.bin\"/>\n"
    "  </resources>\n"
    "Frames: x and y default to 0, width and height to the rest of the picture, hotx,\n"
    "hoty, dx and dy to 0. The hot spot is relative to the rectangle's top-left corner.\n"
    "Tiles: the square at x, y (default 0) of side size (default: the picture's width from\n"
    "x); alpha=\"no\" demands an opaque square, stored with 3 bytes a pixel (alpha=\"auto\",\n"
    "the default, stores 4 when a pixel is not opaque).\n"
    "Fonts: the whole picture; type 0 cuts length equal cells side by side, type 1 takes\n"
    "the transparent runs between the markers of the top row as cells. start is the\n"
    "character code of the first glyph, space the code drawn as space (both default 32).\n"
    "Texts come from a file or are the element's content, exactly as written; texts and\n"
    "binary files are found next to the definition, pictures in --image-dir.\n";

} // namespace

int main(int argc, char** argv)
{
    MvResourceEncoder::Options options;
    bool verbose = false;
    MvCommandLine commandLine("movo-encode", Usage);
    commandLine.AddFlag("--verbose", &verbose);
    commandLine.AddOption({"-o", "--output"}, &options.outputPath);
    commandLine.AddOption({"--header"}, &options.headerPath);
    commandLine.AddOption({"--image-dir"}, &options.imageDir);
    commandLine.AddArgument(&options.definitionPath, "definition", "definition");
    int exitCode = 0;
    if (!commandLine.Parse(argc, argv, &exitCode))
        return exitCode;
    if (options.outputPath.empty())
        return commandLine.Fail("no output file given (-o OUTPUT.dat)");
    if (!commandLine.CheckInputFile(options.definitionPath, "definition") ||
        (!options.imageDir.empty() && !commandLine.CheckFolder(options.imageDir)))
        return 1;

    std::string error;
    std::vector<std::string> warnings;
    // The engine's lines are shown only when asked for; the tool reports what went wrong itself.
    std::FILE* logStream = MvSetLogStream(verbose ? stdout : nullptr);
    std::FILE* errorStream = MvSetErrorStream(verbose ? stdout : nullptr);
    const bool ok = MvResourceEncoder::Run(options, &error, &warnings);
    MvSetErrorStream(errorStream);
    MvSetLogStream(logStream);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    if (!ok) {
        commandLine.Report(error);
        return 1;
    }
    std::printf("movo-encode: wrote '%s'%s%s%s\n", options.outputPath.c_str(),
                options.headerPath.empty() ? "" : " and '", options.headerPath.c_str(),
                options.headerPath.empty() ? "" : "'");
    return 0;
}
