// movo-inspect: lists what a resource file holds and exports every frame to a PNG
// contact sheet.
//
//   movo-inspect game/Images/Sprites.dat --sheet sprites.png
//
// Exits 0 on success; 1 with one message when the file cannot be read or loaded, or
// when the sheet cannot be written; 2 on a bad command line.

#include "MvCommandLine.h"
#include "MvLog.h"
#include "MvResourceInspector.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char Usage[] =
    "Usage: movo-inspect FILE.dat [--sheet OUT.png] [--verbose]\n"
    "\n"
    "Lists the resource file FILE.dat: its version and tallies, every resource (type, id,\n"
    "name), the actions of each sprite and font (id, name, frame count) and their frames\n"
    "(size, offset from the hot spot, delta; 'alpha' marks translucent frames); for a tile\n"
    "its size and bytes a pixel, for a font its type, glyph count, start index, space code\n"
    "and width, for a text its length, line count and first lines, for binary data its\n"
    "length and first bytes.\n"
    "\n"
    "  --sheet OUT.png  also write every frame (glyphs too) to a contact sheet: one line\n"
    "                   per action, frames left to right, transparent around them\n"
    "  --verbose        show the loader's progress lines\n"
    "  -h, --help       show this help\n";

} // namespace

int main(int argc, char** argv)
{
    std::string path, sheetPath;
    bool verbose = false;
    MvCommandLine commandLine("movo-inspect", Usage);
    commandLine.AddFlag("--verbose", &verbose);
    commandLine.AddOption({"--sheet"}, &sheetPath);
    commandLine.AddArgument(&path, "file", "resource file");
    int exitCode = 0;
    if (!commandLine.Parse(argc, argv, &exitCode))
        return exitCode;
    if (!commandLine.CheckInputFile(path, "resource file"))
        return 1;

    MvResourceInspector inspector;
    std::string error;
    // The engine's lines are shown only when asked for; the tool reports what went wrong itself.
    std::FILE* logStream = MvSetLogStream(verbose ? stdout : nullptr);
    std::FILE* errorStream = MvSetErrorStream(verbose ? stdout : nullptr);
    const bool loaded = inspector.Load(path, &error);
    MvSetErrorStream(errorStream);
    MvSetLogStream(logStream);
    for (const std::string& warning : inspector.Warnings())
        commandLine.Report(warning);
    if (!loaded) {
        commandLine.Report(error);
        return 1;
    }
    std::fputs(inspector.Listing().c_str(), stdout);
    if (!sheetPath.empty()) {
        std::vector<MvResourceInspector::SheetCell> cells;
        int width = 0, height = 0;
        inspector.LayoutSheet(&cells, &width, &height);
        if (!inspector.WriteContactSheet(sheetPath, &error)) {
            commandLine.Report(error);
            return 1;
        }
        std::printf("Contact sheet '%s': %d x %d pixels, %zu frames\n", sheetPath.c_str(), width, height,
                    cells.size());
    }
    return 0;
}
