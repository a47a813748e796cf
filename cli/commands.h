#pragma once
// The subcommands of the `pelmar` command line host. Each adds itself to the
// command line and returns what runs it once its arguments were read: the
// process exit status (0 done, 1 done with errors, 2 nothing done).
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

namespace pelmar::cli {

using Run = std::function<int()>;

Run AddImportCommand(CLI::App& pelmar);   // pelmar import ...
Run AddExportCommand(CLI::App& pelmar);   // pelmar export ...
Run AddDbCommand(CLI::App& pelmar);       // pelmar db init|show ...
Run AddGuiCommand(CLI::App& pelmar);      // pelmar gui ...
Run AddTypelibCommand(CLI::App& pelmar);  // pelmar typelib

// Every command's --help is CLI11's, made from its description, its options'
// descriptions and its footer. Set on `pelmar` before its commands are
// added, which inherit it.
void UseGeneratedHelp(CLI::App& pelmar);
// The --help text of `command`, its usage line naming it in full.
std::string HelpText(const CLI::App& command);
// "pelmar db init".
std::string CommandName(const CLI::App& command);

// What an enumerated option takes: its names, each with its value, in the
// order the help shows them.
template <typename T>
using Names = std::vector<std::pair<std::string, T>>;

template <typename T>
struct NamedValue {
    using type = T;
};
template <typename T>
struct NamedValue<std::optional<T>> {
    using type = T;
};

// An option whose value is named by one of `names`, mapped by CLI11's
// CheckedTransformer ("--run-at client|server" in the help). Only the names
// are taken (the transformer alone would also take the values' numbers), and
// a refusal reads "--run-at: moon not in {client,server}".
template <typename T>
CLI::Option* AddNamedOption(CLI::App& app, const std::string& name, T& value,
                            const Names<typename NamedValue<T>::type>& names, const std::string& description) {
    std::string choices;
    for (const auto& [text, ignored] : names) choices += (choices.empty() ? "" : "|") + text;
    const CLI::CheckedTransformer map(names);
    const auto named = [map, names, choices](std::string& input) {
        for (const auto& entry : names)
            if (entry.first == input) return map(input);
        std::string list = choices;
        std::replace(list.begin(), list.end(), '|', ',');
        return input + " not in {" + list + "}";
    };
    return app.add_option(name, value, description)->transform(CLI::Validator(named, ""))->option_text(choices);
}

}  // namespace pelmar::cli
