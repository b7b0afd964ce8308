// movo-soak-script: writes a random replay script for a long-play soak of the game.
//
//   movo-soak-script SEED TICKS > script.txt
//
// The script chooses level 1, 2 or 3 by the seed (SEED % 3 + 1) on the menu and then, up
// to tick TICKS, presses and lets go of every key the game reads and some it does not,
// moves the stick on axis 0 and on other axes, presses buttons 0, 1 and others and closes
// the window now and then; Return and the digit keys come often enough to bring the game
// back from the end screen into another level. Escape, which ends the game, is left to
// the replay tool's tick limit. The same seed always gives the same
// script: the generator is std::mt19937, whose output the C++ standard fixes, and its
// numbers are mapped to choices here rather than by the library's distributions.

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// The keys pressed and let go, by name as replay scripts write them. Right comes most
// often, so that the hero gets on through a level between the other inputs.
const char* const Keys[] = {
    "Right", "Right", "Right", "Right", "Left",  "Up",    "Up",    "Up",         "LeftShift", "RightShift",
    "Return", "1",    "2",     "3",     "Down",  "Space", "Tab",   "Backspace",  "0",         "9",
    "a",      "z",
};

// Stick positions around the walking threshold (20000) and the centre band (600) and
// the ends of the range; other positions are drawn at random.
const int StickEdges[] = {-32768, -20001, -20000, -600, -599, 0, 1, 599, 600, 20000, 20001, 32767};

const int Buttons[] = {0, 0, 0, 1, 1, 1, 2, 7, 255};

// A tick gets an input, and after each input one more, with a chance of one in this
// many: a third of an input a tick on average, now and then several at once.
const unsigned MoreInputOneIn = 4;

// The seeded choices of one script.
class Draw {
public:
    explicit Draw(unsigned seed) : random_(seed) {}

    // A number from 0 to n - 1.
    unsigned Below(unsigned n) { return static_cast<unsigned>(random_() % n); }
    // True about once in n draws.
    bool OneIn(unsigned n) { return Below(n) == 0; }

    template <typename T, size_t N>
    const T& Of(const T (&table)[N])
    {
        return table[Below(N)];
    }

private:
    std::mt19937 random_;
};

std::string RandomInput(Draw* draw)
{
    const unsigned kind = draw->Below(1000);
    if (kind < 600)
        return std::string(draw->OneIn(3) ? "release " : "press ") + draw->Of(Keys);
    if (kind < 750) {
        const int value = draw->OneIn(2) ? draw->Of(StickEdges) : static_cast<int>(draw->Below(65536)) - 32768;
        return "stick " + std::to_string(value);
    }
    if (kind < 800) {
        const int axis = draw->OneIn(4) ? 255 : 1 + static_cast<int>(draw->Below(3));
        return "stick " + std::to_string(static_cast<int>(draw->Below(65536)) - 32768) + " axis " +
               std::to_string(axis);
    }
    if (kind < 998)
        return "button " + std::to_string(draw->Of(Buttons)) + (draw->OneIn(2) ? " up" : " down");
    return "close"; // ends the screen in play
}

bool ParseNumber(const char* text, unsigned long max, unsigned long* value)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long n = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || n > max)
        return false;
    *value = n;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned long seed = 0;
    unsigned long ticks = 0;
    if (argc != 3 || !ParseNumber(argv[1], UINT_MAX, &seed) || !ParseNumber(argv[2], 1000000000, &ticks) ||
        ticks < 10) {
        std::fprintf(stderr, "Usage: movo-soak-script SEED TICKS (SEED 0 to %u, TICKS 10 to 1000000000)\n", UINT_MAX);
        return 2;
    }
    Draw draw(static_cast<unsigned>(seed));
    const unsigned long level = seed % 3 + 1;
    std::printf("# soak script, seed %lu: level %lu, random input up to tick %lu\n", seed, level, ticks);
    std::printf("at 2 press %lu\nat 3 release %lu\nat 4 press Return\nat 5 release Return\n", level, level);
    for (unsigned long tick = 6; tick <= ticks; ++tick) {
        while (draw.OneIn(MoreInputOneIn))
            std::printf("at %lu %s\n", tick, RandomInput(&draw).c_str());
    }
    return 0;
}
