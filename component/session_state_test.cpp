#include "component/session_state.h"

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

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Session() = SessionState{};
        host_ = std::make_shared<CountingHost>();
        SetWindowHost(host_);
    }
    void TearDown() override {
        SetWindowHost(nullptr);
        Session() = SessionState{};
    }
    std::shared_ptr<CountingHost> host_;
};

TEST_F(SessionTest, StartsEmpty) {
    const SessionState s;
    EXPECT_TRUE(s.ClientDBString.empty() && s.RemoteDBString.empty() && s.LogFilePath.empty());
    EXPECT_EQ(s.UserID, 0);
    EXPECT_EQ(s.CurrentUserType, GeneralUser);
    EXPECT_EQ(s.RunAt, RuntAtClient);
    EXPECT_EQ(s.ImportTo, SharedFolder);
    EXPECT_TRUE(s.ImportToID.empty());
    EXPECT_FALSE(s.InitDone);
    EXPECT_FALSE(s.RemoteConnection || s.LocalConnection || s.Logger);
}

TEST_F(SessionTest, ManagersOnOneThreadShareOneState) {
    auto first = std::make_unique<Manager>();
    Manager second;
    first->SetLogFile("/tmp/shared.log");
    Session().InitDone = true;
    EXPECT_EQ(second.LogFile(), "/tmp/shared.log");

    first.reset();
    EXPECT_EQ(host_->unloads, 1) << "ending a Manager unloads the windows";
    EXPECT_TRUE(Session().InitDone) << "but the state stays";
    EXPECT_EQ(second.LogFile(), "/tmp/shared.log");
}

TEST_F(SessionTest, EachThreadHasItsOwnState) {
    Manager here;
    here.SetLogFile("main.log");
    Session().UserID = 7;

    std::string seenThere;
    int32_t userThere = -1;
    std::thread([&] {
        Manager there;
        seenThere = there.LogFile();
        userThere = Session().UserID;
        there.SetLogFile("other.log");
    }).join();

    EXPECT_EQ(seenThere, "");
    EXPECT_EQ(userThere, 0);
    EXPECT_EQ(here.LogFile(), "main.log");
    EXPECT_EQ(host_->unloads, 0) << "the other thread's Manager leaves this thread's windows";
}

TEST_F(SessionTest, ManagerEndingOnAnotherThreadLeavesWindowsAlone) {
    auto manager = std::make_unique<Manager>();
    auto otherHost = std::make_shared<CountingHost>();
    std::thread([&] {
        SetWindowHost(otherHost);
        manager.reset();
        SetWindowHost(nullptr);
    }).join();
    EXPECT_EQ(host_->unloads, 0);
    EXPECT_EQ(otherHost->unloads, 0);
}

}  // namespace
}  // namespace pelmar
