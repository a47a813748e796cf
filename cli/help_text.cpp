#include <memory>
#include <sstream>
#include <string>

#include "cli/commands.h"

namespace pelmar::cli {
namespace {

// CLI11's help, put together from the commands' descriptions, options and
// footers, with the usage line first and the description under it.
class UsageFirst : public CLI::Formatter {
public:
    UsageFirst() {
        column_width(26);
        label("Usage", "usage");
        label("Positionals", "operands");
    }

    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        if (mode == CLI::AppFormatMode::Sub) return make_expanded(app);
        std::ostringstream out;
        out << make_usage(app, std::move(name));
        if (!app->get_description().empty()) out << '\n' << app->get_description() << '\n';
        out << make_positionals(app) << make_groups(app, mode) << make_subcommands(app, mode);
        const std::string footer = make_footer(app);
        if (!footer.empty()) out << '\n' << footer;
        return out.str();
    }
};

std::string FullName(const CLI::App* app) {
    std::string name;
    for (; app; app = app->get_parent()) name = app->get_name() + (name.empty() ? "" : " " + name);
    return name;
}

}  // namespace

void UseGeneratedHelp(CLI::App& pelmar) { pelmar.formatter(std::make_shared<UsageFirst>()); }

std::string HelpText(const CLI::App& command) { return command.help(FullName(command.get_parent())); }

std::string CommandName(const CLI::App& command) { return FullName(&command); }

}  // namespace pelmar::cli
