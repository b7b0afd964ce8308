#include "ReplayScript.h"

#include "MvAssert.h"

#include <SDL.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

const char Actions[] = "press, release, stick, button, close or screenshot";

struct NamedKey {
    const char* name;
    int sym;
};

const NamedKey NamedKeys[] = {
    {"Return", SDLK_RETURN}, {"Escape", SDLK_ESCAPE},       {"Space", SDLK_SPACE},
    {"Tab", SDLK_TAB},       {"Backspace", SDLK_BACKSPACE}, {"Up", SDLK_UP},
    {"Down", SDLK_DOWN},     {"Left", SDLK_LEFT},           {"Right", SDLK_RIGHT},
    {"LeftShift", SDLK_LSHIFT}, {"RightShift", SDLK_RSHIFT}, {"LeftAlt", SDLK_LALT},
    {"RightAlt", SDLK_RALT},    {"F11", SDLK_F11},
};

bool SameLetters(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A word of the script as it can be shown in a message: bytes that are not printable
// (a binary file, a stray control character) become \xNN.
std::string Shown(const std::string& word)
{
    std::string shown;
    for (unsigned char c : word) {
        if (std::isprint(c)) {
            shown += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    return "'" + shown + "'";
}

// A whole number made of an optional sign (when allowed) and decimal digits; false when
// the word is anything else or lies outside low to high.
bool ParseNumber(const std::string& word, bool signAllowed, long long low, long long high, long long* value)
{
    size_t i = 0;
    bool negative = false;
    if (signAllowed && !word.empty() && (word[0] == '-' || word[0] == '+')) {
        negative = word[0] == '-';
        i = 1;
    }
    if (i == word.size())
        return false;
    long long n = 0;
    for (; i < word.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(word[i])))
            return false;
        n = n * 10 + (word[i] - '0');
        if (n > high + 1 - low) // far outside already; stop before it can overflow
            return false;
    }
    if (negative)
        n = -n;
    if (n < low || n > high)
        return false;
    *value = n;
    return true;
}

bool IsDigitsOnly(const std::string& word)
{
    size_t i = (!word.empty() && (word[0] == '-' || word[0] == '+')) ? 1 : 0;
    if (i == word.size())
        return false;
    for (; i < word.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

// A screenshot is written into the output folder and nowhere else: a plain name of
// letters, digits, '-', '_' and '.', ending in ".png", not starting with '.'.
bool IsPlainPngName(const std::string& name)
{
    const std::string suffix = ".png";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    if (name[0] == '.')
        return false;
    for (unsigned char c : name)
        if (!std::isalnum(c) && c != '-' && c != '_' && c != '.')
            return false;
    return true;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// Reads one line's words after "at TICK" into *step. Returns an empty string when the
// words make a step, otherwise what is wrong.
std::string ParseAction(const std::vector<std::string>& words, ReplayStep* step)
{
    if (words.size() < 3)
        return "nothing to do at tick " + words[1] + "; expected " + Actions;
    const std::string& action = words[2];
    size_t used = 3;
    if (action == "press" || action == "release") {
        if (words.size() < 4)
            return "'" + action + "' needs a key name";
        if (!ReplayScript::KeyByName(words[3], &step->value))
            return "unknown key " + Shown(words[3]) + "; known keys: " + ReplayScript::KeyNames();
        step->kind = action == "press" ? ReplayStep::KeyDown : ReplayStep::KeyUp;
        used = 4;
    } else if (action == "stick") {
        if (words.size() < 4)
            return "'stick' needs a value from -32768 to 32767";
        long long value = 0;
        if (!ParseNumber(words[3], true, -32768, 32767, &value)) {
            if (IsDigitsOnly(words[3]))
                return "stick value " + words[3] + " is out of range -32768 to 32767";
            return Shown(words[3]) + " is not a stick value; expected a number from -32768 to 32767";
        }
        step->kind = ReplayStep::StickMotion;
        step->value = static_cast<int>(value);
        used = 4;
        if (words.size() > 4 && words[4] == "axis") {
            long long axis = 0;
            if (words.size() < 6)
                return "'axis' needs an axis number from 0 to 255";
            if (!ParseNumber(words[5], false, 0, 255, &axis))
                return Shown(words[5]) + " is not an axis number; expected 0 to 255";
            step->axis = static_cast<int>(axis);
            used = 6;
        }
    } else if (action == "button") {
        if (words.size() < 5)
            return "'button' needs a button number (0 to 255) and down or up";
        long long number = 0;
        if (!ParseNumber(words[3], false, 0, 255, &number))
            return Shown(words[3]) + " is not a button number; expected 0 to 255";
        if (words[4] == "down")
            step->kind = ReplayStep::ButtonDown;
        else if (words[4] == "up")
            step->kind = ReplayStep::ButtonUp;
        else
            return "button " + words[3] + " needs down or up, found " + Shown(words[4]);
        step->value = static_cast<int>(number);
        used = 5;
    } else if (action == "close") {
        step->kind = ReplayStep::WindowClose;
    } else if (action == "screenshot") {
        if (words.size() < 4)
            return "'screenshot' needs a file name";
        if (!IsPlainPngName(words[3]))
            return "screenshot name " + Shown(words[3]) +
                   " must be a plain file name ending in .png (letters, digits, '-', '_' and '.')";
        step->kind = ReplayStep::Screenshot;
        step->name = words[3];
        used = 4;
    } else {
        return "unknown action " + Shown(action) + "; expected " + Actions;
    }
    if (words.size() > used)
        return "unexpected " + Shown(words[used]) + " after '" + action + "'";
    return std::string();
}

// Reads the tick of a line's words ("at TICK ...") into *tick, which may not come before
// the last of the earlier steps. Returns an empty string when it is good, otherwise what
// is wrong.
std::string ParseTick(const std::vector<std::string>& words, const std::vector<ReplayStep>& earlier, int* tick)
{
    if (words[0] != "at")
        return "expected a line 'at TICK ACTION', found " + Shown(words[0]);
    if (words.size() < 2)
        return "'at' needs a tick number";
    long long number = 0;
    if (!ParseNumber(words[1], false, 1, ReplayScript::MaxTick, &number)) {
        if (IsDigitsOnly(words[1]))
            return "tick " + words[1] + " is out of range: ticks count from 1 to " +
                   std::to_string(ReplayScript::MaxTick);
        return Shown(words[1]) + " is not a tick number";
    }
    if (!earlier.empty() && number < earlier.back().tick)
        return "tick " + words[1] + " comes before tick " + std::to_string(earlier.back().tick) + " of line " +
               std::to_string(earlier.back().line) + "; lines must be in tick order";
    *tick = static_cast<int>(number);
    return std::string();
}

// Reads a line's words into *step (its line already set), after the steps of the
// earlier lines. Returns an empty string when the words make a step, otherwise what is
// wrong.
std::string ParseStep(const std::vector<std::string>& words, const std::vector<ReplayStep>& earlier,
                      ReplayStep* step)
{
    std::string wrong = ParseTick(words, earlier, &step->tick);
    if (wrong.empty())
        wrong = ParseAction(words, step);
    if (!wrong.empty() || step->kind != ReplayStep::Screenshot)
        return wrong;
    for (const ReplayStep& other : earlier) {
        if (other.kind == ReplayStep::Screenshot && other.name == step->name)
            return "screenshot " + Shown(step->name) + " is already taken at line " + std::to_string(other.line);
    }
    return std::string();
}

} // namespace

bool ReplayScript::Load(const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    steps_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        *error = path + ": cannot be read";
        return false;
    }
    return Parse(path, text.str(), error);
}

bool ReplayScript::Parse(const std::string& path, const std::string& text, std::string* error)
{
    MvAssert(error != nullptr);
    steps_.clear();
    std::vector<ReplayStep> steps;
    int lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        const std::vector<std::string> words = Words(line);
        if (words.empty())
            continue;
        ReplayStep step;
        step.line = lineNumber;
        const std::string wrong = ParseStep(words, steps, &step);
        if (!wrong.empty()) {
            *error = path + ":" + std::to_string(lineNumber) + ": " + wrong;
            return false;
        }
        steps.push_back(step);
    }
    steps_.swap(steps);
    return true;
}

bool ReplayScript::KeyByName(const std::string& name, int* sym)
{
    MvAssert(sym != nullptr);
    for (const NamedKey& key : NamedKeys) {
        if (SameLetters(name, key.name)) {
            *sym = key.sym;
            return true;
        }
    }
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(name[0]);
        // SDL's symbols for the digit and letter keys are their ASCII codes (small letters).
        if (std::isdigit(c) || std::isalpha(c)) {
            *sym = std::tolower(c);
            return true;
        }
    }
    return false;
}

const char* ReplayScript::KeyNames()
{
    return "Return, Escape, Space, Tab, Backspace, Up, Down, Left, Right, LeftShift, RightShift, LeftAlt, "
           "RightAlt, F11, 0 to 9, a to z";
}
