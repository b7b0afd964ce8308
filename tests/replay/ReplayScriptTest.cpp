#include "ReplayScript.h"

#include "ToolTestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A step as text, so that whole scripts compare in one expectation.
std::string Describe(const ReplayStep& step)
{
    std::string text = "line " + std::to_string(step.line) + " at " + std::to_string(step.tick) + ": ";
    switch (step.kind) {
    case ReplayStep::KeyDown: return text + "key down " + std::to_string(step.value);
    case ReplayStep::KeyUp: return text + "key up " + std::to_string(step.value);
    case ReplayStep::StickMotion:
        return text + "stick " + std::to_string(step.value) + " axis " + std::to_string(step.axis);
    case ReplayStep::ButtonDown: return text + "button down " + std::to_string(step.value);
    case ReplayStep::ButtonUp: return text + "button up " + std::to_string(step.value);
    case ReplayStep::WindowClose: return text + "close";
    case ReplayStep::Screenshot: return text + "screenshot " + step.name;
    }
    return text + "?";
}

std::vector<std::string> Describe(const ReplayScript& script)
{
    std::vector<std::string> steps;
    for (const ReplayStep& step : script.Steps())
        steps.push_back(Describe(step));
    return steps;
}

TEST(ReplayScript, ReadsEveryKindOfLineWithCommentsBlanksAndSeveralStepsPerTick)
{
    const std::string text =
        "# a level-1 run\n"
        "\n"
        "at 1 screenshot menu.png\n"
        "at 20  press Return      # start level 1\r\n"
        "\tat 20\trelease return\n"
        "at 40 press Right\n"
        "   \n"
        "at 55 press UP\n"
        "at 58 release Up\n"
        "at 60 stick -32768\n"
        "at 60 stick +32767\n"
        "at 61 stick 0\n"
        "at 61 stick 600 axis 255\n"
        "at 62 button 1 down\n"
        "at 63 button 0 up\n"
        "at 64 press 2\n"
        "at 64 press Q\n"
        "at 70 close\n"
        "at 300 screenshot level1-flag_2.png\n"
        "at 900 press Escape"; // no newline at the end
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("run.txt", text, &error)) << error;
    const std::vector<std::string> expected = {
        "line 3 at 1: screenshot menu.png",
        "line 4 at 20: key down " + std::to_string(SDLK_RETURN),
        "line 5 at 20: key up " + std::to_string(SDLK_RETURN),
        "line 6 at 40: key down " + std::to_string(SDLK_RIGHT),
        "line 8 at 55: key down " + std::to_string(SDLK_UP),
        "line 9 at 58: key up " + std::to_string(SDLK_UP),
        "line 10 at 60: stick -32768 axis 0",
        "line 11 at 60: stick 32767 axis 0",
        "line 12 at 61: stick 0 axis 0",
        "line 13 at 61: stick 600 axis 255",
        "line 14 at 62: button down 1",
        "line 15 at 63: button up 0",
        "line 16 at 64: key down " + std::to_string(SDLK_2),
        "line 17 at 64: key down " + std::to_string(SDLK_q),
        "line 18 at 70: close",
        "line 19 at 300: screenshot level1-flag_2.png",
        "line 20 at 900: key down " + std::to_string(SDLK_ESCAPE),
    };
    EXPECT_EQ(Describe(script), expected);
    EXPECT_EQ(script.LastTick(), 900);
}

TEST(ReplayScript, AnEmptyScriptOrOneOfCommentsHasNoSteps)
{
    for (const char* text : {"", "\n\n", "# nothing yet\n   # really\n"}) {
        ReplayScript script;
        std::string error;
        EXPECT_TRUE(script.Parse("empty.txt", text, &error)) << error;
        EXPECT_TRUE(script.Steps().empty());
        EXPECT_EQ(script.LastTick(), 0);
    }
}

// Every kind of mistake is refused with one message naming the file, the line and what
// is wrong.
TEST(ReplayScript, RefusesBadLinesNamingFileLineAndFault)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"press Return\n", "s.txt:1: expected a line 'at TICK ACTION', found 'press'"},
        {"\n# fine\nAT 3 press Return\n", "s.txt:3: expected a line 'at TICK ACTION', found 'AT'"},
        {"at\n", "s.txt:1: 'at' needs a tick number"},
        {"at soon press Return\n", "s.txt:1: 'soon' is not a tick number"},
        {"at -5 press Return\n", "s.txt:1: tick -5 is out of range: ticks count from 1 to 1000000000"},
        {"at 0 press Return\n", "s.txt:1: tick 0 is out of range: ticks count from 1 to 1000000000"},
        {"at 99999999999999999999 press Return\n",
         "s.txt:1: tick 99999999999999999999 is out of range: ticks count from 1 to 1000000000"},
        {"at 40 press Return\nat 20 press Up\n",
         "s.txt:2: tick 20 comes before tick 40 of line 1; lines must be in tick order"},
        {"at 20\n", "s.txt:1: nothing to do at tick 20; expected press, release, stick, button, close or screenshot"},
        {"at 20 jump\n", "s.txt:1: unknown action 'jump'; expected press, release, stick, button, close or screenshot"},
        {"at 20 press\n", "s.txt:1: 'press' needs a key name"},
        {"at 20 release\n", "s.txt:1: 'release' needs a key name"},
        {"at 20 press Retrun\n",
         "s.txt:1: unknown key 'Retrun'; known keys: Return, Escape, Space, Tab, Backspace, Up, Down, Left, Right, LeftShift, RightShift, LeftAlt, RightAlt, F11, 0 to 9, a to z"},
        {"at 20 press 12\n",
         "s.txt:1: unknown key '12'; known keys: Return, Escape, Space, Tab, Backspace, Up, Down, Left, Right, LeftShift, RightShift, LeftAlt, RightAlt, F11, 0 to 9, a to z"},
        {"at 20 press Up Left\n", "s.txt:1: unexpected 'Left' after 'press'"},
        {"at 20 stick\n", "s.txt:1: 'stick' needs a value from -32768 to 32767"},
        {"at 20 stick left\n", "s.txt:1: 'left' is not a stick value; expected a number from -32768 to 32767"},
        {"at 20 stick 32768\n", "s.txt:1: stick value 32768 is out of range -32768 to 32767"},
        {"at 20 stick -32769\n", "s.txt:1: stick value -32769 is out of range -32768 to 32767"},
        {"at 20 stick 5 5\n", "s.txt:1: unexpected '5' after 'stick'"},
        {"at 20 stick 5 axis\n", "s.txt:1: 'axis' needs an axis number from 0 to 255"},
        {"at 20 stick 5 axis 256\n", "s.txt:1: '256' is not an axis number; expected 0 to 255"},
        {"at 20 stick 5 axis -1\n", "s.txt:1: '-1' is not an axis number; expected 0 to 255"},
        {"at 20 stick 5 axis 1 2\n", "s.txt:1: unexpected '2' after 'stick'"},
        {"at 20 button 1\n", "s.txt:1: 'button' needs a button number (0 to 255) and down or up"},
        {"at 20 button x down\n", "s.txt:1: 'x' is not a button number; expected 0 to 255"},
        {"at 20 button 256 down\n", "s.txt:1: '256' is not a button number; expected 0 to 255"},
        {"at 20 button 1 press\n", "s.txt:1: button 1 needs down or up, found 'press'"},
        {"at 20 close now\n", "s.txt:1: unexpected 'now' after 'close'"},
        {"at 20 screenshot\n", "s.txt:1: 'screenshot' needs a file name"},
        {"at 20 screenshot menu.bmp\n",
         "s.txt:1: screenshot name 'menu.bmp' must be a plain file name ending in .png (letters, digits, '-', '_' and '.')"},
        {"at 20 screenshot ../menu.png\n",
         "s.txt:1: screenshot name '../menu.png' must be a plain file name ending in .png (letters, digits, '-', '_' and '.')"},
        {"at 20 screenshot /tmp/menu.png\n",
         "s.txt:1: screenshot name '/tmp/menu.png' must be a plain file name ending in .png (letters, digits, '-', '_' and '.')"},
        {"at 20 screenshot .png\n",
         "s.txt:1: screenshot name '.png' must be a plain file name ending in .png (letters, digits, '-', '_' and '.')"},
        {"at 20 screenshot a.png b.png\n", "s.txt:1: unexpected 'b.png' after 'screenshot'"},
        {"at 20 screenshot a.png\nat 30 screenshot a.png\n", "s.txt:2: screenshot 'a.png' is already taken at line 1"},
        {"at 20 press \x01\xff\n",
         "s.txt:1: unknown key '\\x01\\xFF'; known keys: Return, Escape, Space, Tab, Backspace, Up, Down, Left, Right, LeftShift, RightShift, LeftAlt, RightAlt, F11, 0 to 9, a to z"},
    };
    for (const auto& c : cases) {
        ReplayScript script;
        std::string error;
        EXPECT_FALSE(script.Parse("s.txt", c.text, &error)) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
    }
}

TEST(ReplayScript, ABadLineLeavesNoStepsBehind)
{
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("good.txt", "at 5 press Return\n", &error)) << error;
    EXPECT_FALSE(script.Parse("bad.txt", "at 5 press Return\nat 6 press Nothing\n", &error));
    EXPECT_TRUE(script.Steps().empty());
}

TEST(ReplayScript, LoadsAFileAndNamesOneThatCannotBeRead)
{
    tooltest::ScratchFolder scratch;
    tooltest::WriteFile(scratch / "run.txt", "at 3 press Return\nat 4 bounce\n");
    ReplayScript script;
    std::string error;
    EXPECT_FALSE(script.Load(scratch / "run.txt", &error));
    EXPECT_EQ(error, scratch / "run.txt" + ":2: unknown action 'bounce'; expected press, release, stick, button, "
                                           "close or screenshot");

    tooltest::WriteFile(scratch / "run.txt", "at 3 press Return\n");
    ASSERT_TRUE(script.Load(scratch / "run.txt", &error)) << error;
    EXPECT_EQ(script.Steps().size(), 1u);

    EXPECT_FALSE(script.Load(scratch / "missing.txt", &error));
    EXPECT_EQ(error, scratch / "missing.txt" + ": cannot be read: No such file or directory");
    EXPECT_TRUE(script.Steps().empty());
}

TEST(ReplayScript, KnowsTheKeysTheGameReadsByName)
{
    const struct {
        const char* name;
        int sym; // 0: no such key
    } cases[] = {
        {"Return", SDLK_RETURN}, {"RETURN", SDLK_RETURN}, {"Escape", SDLK_ESCAPE}, {"Up", SDLK_UP},
        {"Down", SDLK_DOWN},     {"Left", SDLK_LEFT},     {"Right", SDLK_RIGHT},   {"Space", SDLK_SPACE},
        {"Tab", SDLK_TAB},       {"Backspace", SDLK_BACKSPACE}, {"1", SDLK_1},     {"3", SDLK_3},
        {"0", SDLK_0},           {"a", SDLK_a},           {"Z", SDLK_z},           {"Enter", 0},
        {"", 0},                 {"Esc", 0},              {"F1", 0},               {"-", 0},
        {"LeftShift", SDLK_LSHIFT}, {"rightshift", SDLK_RSHIFT}, {"Shift", 0},     {"LShift", 0},
    };
    for (const auto& c : cases) {
        int sym = -1;
        EXPECT_EQ(ReplayScript::KeyByName(c.name, &sym), c.sym != 0) << c.name;
        if (c.sym != 0) {
            EXPECT_EQ(sym, c.sym) << c.name;
        }
    }
}

} // namespace
