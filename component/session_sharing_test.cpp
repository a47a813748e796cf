#include "session/session_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "component/manager.h"
#include "component/window_host.h"

namespace pelmar {
namespace {

class CountingHost : public WindowHost {
public:
    void ShowImportWizard(ImportForm&) override {}
    void ShowExportDialog(ExportDialog&) override {}
    void UnloadWindows() override { ++unloads; }
    int unloads = 0;
};

TEST(SessionStateTest, ManagersShareTheirThreadsStateAndEndingOneUnloadsOnlyItsThreadsWindows) {
    Session() = SessionState{};
    auto host = std::make_shared<CountingHost>();
    SetWindowHost(host);
    auto first = std::make_unique<Manager>();
    auto second = std::make_unique<Manager>();
    first->SetLogFile("main.log");
    Session().InitDone = true;
    EXPECT_EQ(second->LogFile(), "main.log");

    std::string seenThere = "unset";
    auto otherHost = std::make_shared<CountingHost>();
    std::thread([&] {
        SetWindowHost(otherHost);
        {
            Manager there;
            seenThere = there.LogFile();
            there.SetLogFile("other.log");
            second.reset();  // ended away from its thread: its windows are not here
        }
        SetWindowHost(nullptr);
    }).join();
    EXPECT_EQ(seenThere, "");
    EXPECT_EQ(otherHost->unloads, 1) << "only the Manager made there";
    EXPECT_EQ(host->unloads, 0);

    first.reset();
    EXPECT_EQ(host->unloads, 1) << "ending a Manager unloads the windows";
    EXPECT_TRUE(Session().InitDone) << "but the state stays";
    EXPECT_EQ(Session().LogFilePath, "main.log");
    SetWindowHost(nullptr);
    Session() = SessionState{};
}

}  // namespace
}  // namespace pelmar
