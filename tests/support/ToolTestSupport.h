#ifndef TOOL_TEST_SUPPORT_H
#define TOOL_TEST_SUPPORT_H

// Helpers for the tests of the resource tools: a scratch folder, pictures drawn as text
// and saved as PNG, and running a tool program with its output captured.

#include "MvColor.h"
#include "MvPngImage.h"
#include "MvScratchFolder.h"
#include "PaletteColors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tooltest {

// A picture from rows of characters (PaletteColorWithFaintB).
inline MvPngImage Picture(const std::vector<std::string>& rows)
{
    MvPngImage picture(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.At(x, y) = PaletteColorWithFaintB(rows[y][x]);
    return picture;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

// A scratch folder that can also hold pictures drawn as text.
class ScratchFolder : public MvScratchFolder {
public:
    void SavePicture(const std::string& name, const std::vector<std::string>& rows) const
    {
        std::string error;
        ASSERT_TRUE(Picture(rows).Save(*this / name, &error)) << error;
    }
};

struct ProgramRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs program with the arguments (each quoted for the shell) and captures its output.
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ScratchFolder& scratch)
{
    std::string command = "'" + program + "'";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    const std::string out = scratch / "run.out", err = scratch / "run.err";
    command += " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

inline int CountLines(const std::string& text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

} // namespace tooltest

#endif
