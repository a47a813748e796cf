#include <memory>
#include <string>

#include "cli/commands.h"

namespace pelmar::cli {
namespace {

// The command's own help text instead of the one CLI11 would put together:
// the texts were written for their readers, with the options' meaning.
class FixedHelp : public CLI::FormatterBase {
public:
    explicit FixedHelp(const char* text) : text_(text) {}
    std::string make_help(const CLI::App*, std::string, CLI::AppFormatMode) const override { return text_; }

private:
    std::string text_;
};

}  // namespace

void SetHelpText(CLI::App& command, const char* text) { command.formatter(std::make_shared<FixedHelp>(text)); }

}  // namespace pelmar::cli
