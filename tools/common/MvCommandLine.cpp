#include "MvCommandLine.h"

#include "MvAssert.h"

#include <cstdio>

MvCommandLine::MvCommandLine(const char* program, const char* usage, bool loneDashIsArgument)
    : program_(program), usage_(usage), loneDashIsArgument_(loneDashIsArgument), argument_(nullptr)
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

void MvCommandLine::SetArgument(std::string* value, const char* noun, const char* missing)
{
    MvAssert(value != nullptr);
    argument_ = value;
    noun_ = noun;
    missing_ = missing;
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
    MvAssert(exitCode != nullptr && argument_ != nullptr);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(usage_, stdout);
            *exitCode = 0;
            return false;
        }
        std::string problem;
        const bool isOption = arg.size() > (loneDashIsArgument_ ? 1u : 0u) && arg[0] == '-';
        if (const Option* option = Find(arg)) {
            if (option->flag != nullptr)
                *option->flag = true;
            else if (i + 1 >= argc)
                problem = "the option " + arg + " needs a value";
            else
                problem = option->take(argv[++i]);
        } else if (isOption) {
            problem = "unknown option " + arg;
        } else if (argument_->empty()) {
            *argument_ = arg;
        } else {
            problem = "more than one " + noun_ + ": '" + *argument_ + "' and '" + arg + "'";
        }
        if (!problem.empty()) {
            *exitCode = Fail(problem);
            return false;
        }
    }
    if (argument_->empty()) {
        *exitCode = Fail("no " + missing_ + " given");
        return false;
    }
    return true;
}

int MvCommandLine::Fail(const std::string& what) const
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program_.c_str(), what.c_str(), program_.c_str());
    return 2;
}
