#ifndef MV_COMMAND_LINE_H
#define MV_COMMAND_LINE_H

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// The command line of a tool: flags, options that take a value and positional arguments,
// read in order with the messages every tool gives. "-h" or "--help" prints the usage text
// and ends the program with 0; a bad command line prints one message, the usage's first
// line and a hint to try --help, and ends it with 2. The tool describes its arguments
// first, then calls Parse; checks that concern several arguments follow Parse and use Fail,
// and the files the arguments name are checked with CheckInputFile and CheckFolder before
// anything is read, so that each problem is one line in the tool's own words.
class MvCommandLine {
public:
    // Takes an option's value: checks it and stores what it means. Returns an empty
    // string when the value is good, otherwise the message (without the program's name).
    using ValueTaker = std::function<std::string(const std::string& value)>;

    // A command line of the program named program ("movo-encode") with the usage text
    // printed for --help; its first line is the synopsis shown after an error. When
    // loneDashIsArgument is set, "-" alone is a positional argument (standard input, say);
    // otherwise it is an unknown option.
    MvCommandLine(const char* program, std::string usage, bool loneDashIsArgument = false);

    // A flag: names such as "--verbose" set *value to true. Asserts value is not null.
    void AddFlag(const char* name, bool* value);
    // An option with a value: any of names ("-o", "--output") followed by a value stores
    // the value in *value. Asserts value is not null.
    void AddOption(std::initializer_list<const char*> names, std::string* value);
    // An option with a value that take checks and stores. Asserts take is given.
    void AddOption(std::initializer_list<const char*> names, ValueTaker take);
    // An option whose value is a whole number from min to max, stored in *value; another
    // value is refused as "NAME needs a number from MIN to MAX, not 'VALUE'". Asserts
    // value is not null and min <= max.
    void AddNumberOption(std::initializer_list<const char*> names, int* value, int min, int max);
    // The next positional argument, stored in *value. One more than the arguments added is
    // refused as "more than one NOUN: 'first' and 'second'", none as "no MISSING given".
    // Asserts value is not null and no list of arguments was added before.
    void AddArgument(std::string* value, const char* noun, const char* missing);
    // All remaining positional arguments, one or more, appended to *values; none is
    // refused as "no MISSING given". Asserts values is not null and it is the last added.
    void AddArguments(std::vector<std::string>* values, const char* missing);

    // Reads argv. Returns true when the program is to go on; otherwise the help or an
    // error has been printed and *exitCode is the program's exit code. Asserts exitCode is
    // not null and a positional argument was added.
    bool Parse(int argc, char** argv, int* exitCode) const;
    // Prints "PROGRAM: what", the usage's first line and the hint to try --help; returns
    // the exit code 2.
    int Fail(const std::string& what) const;
    // Prints "PROGRAM: what" on standard error.
    void Report(const std::string& what) const;

    // Whether path is a file that can be opened for reading; otherwise reports
    // "PATH: cannot be read: REASON" or "PATH: is a folder, not a NOUN".
    bool CheckInputFile(const std::string& path, const char* noun) const;
    // Whether path is a folder; otherwise reports "PATH: cannot be used as a folder:
    // REASON" or "PATH: is a file, not a folder".
    bool CheckFolder(const std::string& path) const;

private:
    struct Option {
        std::vector<std::string> names;
        bool* flag;     // set by a flag; null for an option with a value
        ValueTaker take;
    };

    // A positional argument: one value, or (last only) the list of the rest.
    struct Argument {
        std::string* value;
        std::vector<std::string>* values;
        std::string noun;
        std::string missing;
    };

    const Option* Find(const std::string& name) const;

    std::string program_;
    std::string usage_;
    bool loneDashIsArgument_;
    std::vector<Option> options_;
    std::vector<Argument> arguments_;
};

#endif
