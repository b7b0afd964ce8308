#ifndef MV_COMMAND_LINE_H
#define MV_COMMAND_LINE_H

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// The command line of a tool: flags, options that take a value and one positional
// argument, read in order with the messages every tool gives. "-h" or "--help" prints the
// usage text and ends the program with 0; a bad command line prints one message and a
// hint to try --help and ends it with 2. The tool describes its arguments first, then
// calls Parse; checks that concern several arguments follow Parse and use Fail.
class MvCommandLine {
public:
    // Takes an option's value: checks it and stores what it means. Returns an empty
    // string when the value is good, otherwise the message (without the program's name).
    using ValueTaker = std::function<std::string(const std::string& value)>;

    // A command line of the program named program ("movo-encode") with the usage text
    // printed for --help. When loneDashIsArgument is set, "-" alone is a positional
    // argument (standard input, say); otherwise it is an unknown option.
    MvCommandLine(const char* program, const char* usage, bool loneDashIsArgument = false);

    // A flag: names such as "--verbose" set *value to true. Asserts value is not null.
    void AddFlag(const char* name, bool* value);
    // An option with a value: any of names ("-o", "--output") followed by a value stores
    // the value in *value. Asserts value is not null.
    void AddOption(std::initializer_list<const char*> names, std::string* value);
    // An option with a value that take checks and stores. Asserts take is given.
    void AddOption(std::initializer_list<const char*> names, ValueTaker take);
    // The one positional argument, stored in *value. A second one is refused as "more
    // than one NOUN: 'first' and 'second'", none at all as "no MISSING given". Asserts
    // value is not null.
    void SetArgument(std::string* value, const char* noun, const char* missing);

    // Reads argv. Returns true when the program is to go on; otherwise the help or an
    // error has been printed and *exitCode is the program's exit code. Asserts exitCode is
    // not null and SetArgument was called.
    bool Parse(int argc, char** argv, int* exitCode) const;
    // Prints "PROGRAM: what" and the hint to try --help; returns the exit code 2.
    int Fail(const std::string& what) const;

private:
    struct Option {
        std::vector<std::string> names;
        bool* flag;     // set by a flag; null for an option with a value
        ValueTaker take;
    };

    const Option* Find(const std::string& name) const;

    std::string program_;
    const char* usage_;
    bool loneDashIsArgument_;
    std::vector<Option> options_;
    std::string* argument_;
    std::string noun_;
    std::string missing_;
};

#endif
