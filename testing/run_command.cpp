#include "testing/run_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmar::test {

CommandOutcome RunCommand(const TempDir& folder, const std::vector<std::string>& command) {
    return RunningCommand(folder, "command", command).Wait();
}

RunningCommand::RunningCommand(const TempDir& folder, const std::string& name, const std::vector<std::string>& command)
        : out_(folder.file(name + ".out")), err_(folder.file(name + ".err")) {
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(out, 1), ::dup2(err, 2), ::dup2(in, 0);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
}

RunningCommand::~RunningCommand() {
    if (pid_ > 0) Wait();
}

void RunningCommand::Signal(int signal) const { ::kill(pid_, signal); }

CommandOutcome RunningCommand::Wait() {
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    pid_ = -1;
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out_), ReadFile(err_)};
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
