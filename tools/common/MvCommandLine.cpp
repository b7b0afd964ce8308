#include "MvCommandLine.h"

#include "MvAssert.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

MvCommandLine::MvCommandLine(const char* program, std::string usage, bool loneDashIsArgument)
    : program_(program), usage_(std::move(usage)), loneDashIsArgument_(loneDashIsArgument)
{
}

void MvCommandLine::AddFlag(const char* name, bool* value)
{
    MvAssert(value != nullptr);
    options_.push_back(Option{{name}, value, nullptr});
}

void MvCommandLine::AddOption(std::initializer_list<const char*> names, std::string* value)
{
    MvAssert(value != nullptr);
    AddOption(names, [value](const std::string& given) {
        *value = given;
        return std::string();
    });
}

void MvCommandLine::AddOption(std::initializer_list<const char*> names, ValueTaker take)
{
    MvAssert(take != nullptr);
    options_.push_back(Option{std::vector<std::string>(names.begin(), names.end()), nullptr, take});
}

void MvCommandLine::AddNumberOption(std::initializer_list<const char*> names, int* value, int min, int max)
{
    MvAssert(value != nullptr && min <= max);
    const std::string range = max == INT_MAX ? " of " + std::to_string(min) + " or more"
                                             : " from " + std::to_string(min) + " to " + std::to_string(max);
    const std::string name = *names.begin();
    AddOption(names, [=](const std::string& given) {
        char* end = nullptr;
        errno = 0;
        const long number = std::strtol(given.c_str(), &end, 10);
        if (errno != 0 || end == given.c_str() || *end != '\0' || number < min || number > max)
            return name + " needs a number" + range + ", not '" + given + "'";
        *value = static_cast<int>(number);
        return std::string();
    });
}

void MvCommandLine::AddArgument(std::string* value, const char* noun, const char* missing)
{
    MvAssert(value != nullptr && (arguments_.empty() || arguments_.back().value != nullptr));
    arguments_.push_back(Argument{value, nullptr, noun, missing});
}

void MvCommandLine::AddArguments(std::vector<std::string>* values, const char* missing)
{
    MvAssert(values != nullptr && (arguments_.empty() || arguments_.back().value != nullptr));
    arguments_.push_back(Argument{nullptr, values, "", missing});
}

const MvCommandLine::Option* MvCommandLine::Find(const std::string& name) const
{
    for (const Option& option : options_)
        for (const std::string& known : option.names)
            if (known == name)
                return &option;
    return nullptr;
}

bool MvCommandLine::Parse(int argc, char** argv, int* exitCode) const
{
    MvAssert(exitCode != nullptr && !arguments_.empty());
    size_t next = 0; // the positional argument the next one fills
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(usage_.c_str(), stdout);
            *exitCode = 0;
            return false;
        }
        std::string problem;
        const bool isOption = arg.size() > (loneDashIsArgument_ ? 1u : 0u) && arg[0] == '-';
        if (const Option* option = Find(arg)) {
            if (option->flag != nullptr)
                *option->flag = true;
            else if (i + 1 >= argc || argv[i + 1][0] == '\0')
                problem = "the option " + arg + " needs a value";
            else
                problem = option->take(argv[++i]);
        } else if (isOption) {
            problem = "unknown option " + arg;
        } else if (next == arguments_.size()) {
            const Argument& last = arguments_.back();
            problem = "more than one " + last.noun + ": '" + *last.value + "' and '" + arg + "'";
        } else if (arguments_[next].values != nullptr) {
            arguments_[next].values->push_back(arg);
        } else {
            *arguments_[next++].value = arg;
        }
        if (!problem.empty()) {
            *exitCode = Fail(problem);
            return false;
        }
    }
    for (const Argument& argument : arguments_) {
        if (argument.value != nullptr ? argument.value->empty() : argument.values->empty()) {
            *exitCode = Fail("no " + argument.missing + " given");
            return false;
        }
    }
    return true;
}

int MvCommandLine::Fail(const std::string& what) const
{
    Report(what);
    std::fprintf(stderr, "%s\nTry '%s --help'.\n", usage_.substr(0, usage_.find('\n')).c_str(), program_.c_str());
    return 2;
}

void MvCommandLine::Report(const std::string& what) const
{
    std::fprintf(stderr, "%s: %s\n", program_.c_str(), what.c_str());
}

bool MvCommandLine::CheckInputFile(const std::string& path, const char* noun) const
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        Report(path + ": is a folder, not a " + noun);
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Report(path + ": cannot be read: " + std::strerror(errno));
        return false;
    }
    std::fclose(file);
    return true;
}

bool MvCommandLine::CheckFolder(const std::string& path) const
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        Report(path + ": cannot be used as a folder: " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        Report(path + ": is a file, not a folder");
        return false;
    }
    return true;
}
