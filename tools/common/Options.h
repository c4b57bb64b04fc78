// Command-line options for every program in tools/ (and the saver after them).
//
// A program describes its options once, each bound to a variable; the same
// table parses the command line and writes the --help text. Options are long
// names given with one or two dashes ("--seconds 5", "-seconds=5"); a value
// follows as the next argument or after "=". "--" ends the options. Problems
// are OptionError exceptions whose message names the option and what is wrong.
//
//   OptionParser options("show-preview", "A first look at the show.");
//   options.Flag("headless", "run without a window", headless);
//   options.Number("seconds", "S", "stop after S seconds", seconds, 0, 1e7);
//   if (auto exit = options.ParseOrExit(argc, argv, std::cout, std::cerr)) return *exit;
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor::tools {

class OptionError : public RParamException {
public:
    using RParamException::RParamException;
};

class OptionParser {
public:
    enum class Outcome { Run, Help };

    OptionParser(std::string program, std::string summary);

    void Flag(std::string name, std::string help, bool& target);
    void Integer(std::string name, std::string valueName, std::string help, int& target, int least, int most);
    void Integer(std::string name, std::string valueName, std::string help, long& target, long least, long most);
    void Number(std::string name, std::string valueName, std::string help, double& target, double least,
                double most);
    void Text(std::string name, std::string valueName, std::string help, std::string& target);
    // WIDTHxHEIGHT, each from 1 to `most`.
    void Size(std::string name, std::string help, int& width, int& height, int most);
    void Choice(std::string name, std::string valueName, std::string help, std::string& target,
                std::vector<std::string> choices);
    // An argument that is not an option; required ones must be given, in the order declared.
    void Positional(std::string valueName, std::string help, std::string& target, bool required = true);

    // Parses the arguments after the program name; throws OptionError.
    Outcome Parse(std::span<const std::string_view> arguments);
    Outcome Parse(int argc, char** argv);
    // For main(): nullopt to go on; otherwise the exit code after writing the
    // help text (0) or the problem and a hint (2).
    std::optional<int> ParseOrExit(int argc, char** argv, std::ostream& out, std::ostream& err);

    std::string Help() const;

private:
    struct Option {
        std::string name, valueName, help;
        std::function<void(std::string_view value)> set;  // throws OptionError
        bool isFlag() const { return valueName.empty(); }
    };
    struct Argument {
        std::string valueName, help;
        std::string* target;
        bool required;
    };
    void Add(Option option);
    const Option* Find(std::string_view name) const;

    std::string program_, summary_;
    std::vector<Option> options_;
    std::vector<Argument> positionals_;
};

}  // namespace quellmoor::tools
