#include "tools/common/Options.h"

#include <algorithm>
#include <ostream>

#include "model/OptionValues.h"

namespace quellmoor::tools {

namespace {

template <typename T>
std::function<void(std::string_view)> RangeSetter(std::string name, T& target, T least, T most) {
    return [name = std::move(name), &target, least, most](std::string_view value) {
        target = OptionNumber<OptionError>(name, value, least, most);
    };
}

}  // namespace

OptionParser::OptionParser(std::string program, std::string summary)
    : program_(std::move(program)), summary_(std::move(summary)) {}

void OptionParser::Add(Option option) {
    // A program that declares a name twice would silently lose one of them.
    if (Find(option.name) || option.name == "help")
        throw OptionError("option --" + option.name + " is declared twice");
    options_.push_back(std::move(option));
}

const OptionParser::Option* OptionParser::Find(std::string_view name) const {
    const auto found = std::find_if(options_.begin(), options_.end(), [&](const Option& o) { return o.name == name; });
    return found == options_.end() ? nullptr : &*found;
}

void OptionParser::Flag(std::string name, std::string help, bool& target) {
    Add({name, "", std::move(help), [&target](std::string_view) { target = true; }});
}

void OptionParser::Integer(std::string name, std::string valueName, std::string help, int& target, int least,
                           int most) {
    Add({name, std::move(valueName), std::move(help), RangeSetter<int>(name, target, least, most)});
}

void OptionParser::Integer(std::string name, std::string valueName, std::string help, long& target, long least,
                           long most) {
    Add({name, std::move(valueName), std::move(help), RangeSetter<long>(name, target, least, most)});
}

void OptionParser::Number(std::string name, std::string valueName, std::string help, double& target, double least,
                          double most) {
    Add({name, std::move(valueName), std::move(help), RangeSetter<double>(name, target, least, most)});
}

void OptionParser::Text(std::string name, std::string valueName, std::string help, std::string& target) {
    Add({std::move(name), std::move(valueName), std::move(help),
         [&target](std::string_view value) { target = value; }});
}

void OptionParser::Size(std::string name, std::string help, int& width, int& height, int most) {
    auto set = [name, &width, &height, most](std::string_view value) {
        const OptionSizeValue size = OptionSize<OptionError>(name, value, most);
        width = size.width;
        height = size.height;
    };
    Add({name, "WxH", std::move(help), std::move(set)});
}

void OptionParser::Choice(std::string name, std::string valueName, std::string help, std::string& target,
                          std::vector<std::string> choices) {
    std::string list;
    for (const std::string& choice : choices) list += (list.empty() ? "" : ", ") + choice;
    help += " (" + list + ")";
    auto set = [name, &target, choices = std::move(choices), list](std::string_view value) {
        if (std::find(choices.begin(), choices.end(), value) == choices.end())
            throw OptionError("--" + name + ": " + Quoted(value) + " is not one of " + list);
        target = value;
    };
    Add({name, std::move(valueName), std::move(help), std::move(set)});
}

void OptionParser::Positional(std::string valueName, std::string help, std::string& target, bool required) {
    positionals_.push_back({std::move(valueName), std::move(help), &target, required});
}

OptionParser::Outcome OptionParser::Parse(std::span<const std::string_view> arguments) {
    std::size_t nextPositional = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (!isOption) {
            if (nextPositional == positionals_.size()) throw OptionError("unexpected argument " + Quoted(argument));
            *positionals_[nextPositional++].target = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        std::optional<std::string_view> value;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "help" && !value) return Outcome::Help;
        const Option* option = Find(name);
        if (!option) throw OptionError("unknown option " + Quoted(argument));
        if (option->isFlag()) {
            if (value) throw OptionError("--" + option->name + " takes no value");
            option->set("");
            continue;
        }
        if (!value) {
            if (i + 1 == arguments.size())
                throw OptionError("--" + option->name + " needs a value (" + option->valueName + ")");
            value = arguments[++i];
        }
        option->set(*value);
    }
    for (std::size_t n = nextPositional; n < positionals_.size(); ++n)
        if (positionals_[n].required) throw OptionError("missing " + positionals_[n].valueName);
    return Outcome::Run;
}

OptionParser::Outcome OptionParser::Parse(int argc, char** argv) {
    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return Parse(arguments);
}

std::optional<int> OptionParser::ParseOrExit(int argc, char** argv, std::ostream& out, std::ostream& err) {
    try {
        if (Parse(argc, argv) == Outcome::Run) return std::nullopt;
        out << Help();
        return 0;
    } catch (const OptionError& e) {
        err << program_ << ": " << e.GetMessage() << "\n" << "Try \"" << program_ << " --help\".\n";
        return 2;
    }
}

std::string OptionParser::Help() const {
    std::string text = "usage: " + program_ + " [options]";
    for (const Argument& argument : positionals_)
        text += argument.required ? " " + argument.valueName : " [" + argument.valueName + "]";
    text += "\n" + summary_ + "\n\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Argument& argument : positionals_) rows.emplace_back(argument.valueName, argument.help);
    for (const Option& option : options_)
        rows.emplace_back("--" + option.name + (option.isFlag() ? "" : " " + option.valueName), option.help);
    rows.emplace_back("--help", "this text");
    std::size_t column = 0;
    for (const auto& row : rows) column = std::max(column, row.first.size());
    for (const auto& [left, right] : rows)
        text += "  " + left + std::string(column - left.size() + 2, ' ') + right + "\n";
    return text;
}

}  // namespace quellmoor::tools
