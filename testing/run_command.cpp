#include "testing/run_command.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

namespace pelmar::test {
namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

CommandOutcome RunCommand(const TempDir& folder, const std::vector<std::string>& command) {
    std::string line;
    for (const std::string& word : command) line += (line.empty() ? "" : " ") + ShellQuoted(word);
    const std::string out = folder.file("stdout"), err = folder.file("stderr");
    line += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err) + " </dev/null";
    const int raw = std::system(line.c_str());
    CommandOutcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = ReadFile(out);
    outcome.err = ReadFile(err);
    return outcome;
}

void ExpectRuns(const TempDir& folder, const std::vector<std::string>& command, const std::vector<ExpectedRun>& runs) {
    for (const ExpectedRun& run : runs) {
        SCOPED_TRACE(run.name);
        std::vector<std::string> line = command;
        line.insert(line.end(), run.args.begin(), run.args.end());
        const CommandOutcome outcome = RunCommand(folder, line);
        EXPECT_EQ(outcome.status, run.status) << outcome.err;
        EXPECT_EQ(outcome.out, run.out);
        EXPECT_NE(outcome.err.find(run.errContains), std::string::npos) << outcome.err;
    }
}

}  // namespace pelmar::test
