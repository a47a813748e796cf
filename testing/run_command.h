#pragma once
// Runs a program as a batch job would: no input, and its exit status,
// standard output and standard error captured.
#include <string>
#include <vector>

#include "testing/temp_dir.h"

namespace pelmar::test {

struct CommandOutcome {
    int status = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `command` (the program, found on the PATH, then its arguments) to its
// end, keeping its output in files of `folder`.
CommandOutcome RunCommand(const TempDir& folder, const std::vector<std::string>& command);

// One run and what it must give: the exit status, standard output exactly,
// and a text that standard error contains.
struct ExpectedRun {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string errContains;
};

// A program started in the background, its output kept in files of a folder.
class RunningCommand {
public:
    // `name` tells its output files apart from other commands' in `folder`.
    RunningCommand(const TempDir& folder, const std::string& name, const std::vector<std::string>& command);
    ~RunningCommand();  // waits for the program if nobody did
    RunningCommand(const RunningCommand&) = delete;
    RunningCommand& operator=(const RunningCommand&) = delete;

    void Signal(int signal) const;
    CommandOutcome Wait();

private:
    int pid_ = -1;
    std::string out_, err_;
};

// Runs `command` followed by each case's arguments and checks the outcome.
void ExpectRuns(const TempDir& folder, const std::vector<std::string>& command, const std::vector<ExpectedRun>& runs);

}  // namespace pelmar::test
