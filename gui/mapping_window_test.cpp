#include "gui/mapping_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "common/ui.h"
#include "core/record_store.h"
#include "gui/gui_test_support.h"
#include "gui/mapping_model.h"
#include "gui/twips.h"
#include "session/session_state.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;
using test::Key;
using test::Type;
constexpr int kDestination = MappingGridModel::kDestination;

class MappingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        session.ColumnMap.Reset();
        SetUserInterface(ui_);
        // Four source columns; the first listed row is the sample.
        store_.SetColumnCount(4);
        store_.AddRow(1, "Ann");
        for (const char* field : {"98100", "F", "Delhi"}) store_.AddSubItem(field);
        window_ = std::make_unique<MappingWindow>(session, store_);
        test::ShowActive(*window_);
    }
    void TearDown() override {
        window_.reset();
        SetUserInterface(nullptr);
    }

    QTableView& Grid() const { return Child<QTableView>(*window_, "MSFlexGrid1"); }
    QString Cell(int row, int column) const { return Grid().model()->index(row, column).data().toString(); }
    void ClickCell(int row, int column) const {
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {},
                          Grid().visualRect(Grid().model()->index(row, column)).center());
        test::Settle();
    }
    QComboBox* Editor() const { return window_->findChild<QComboBox*>(QStringLiteral("cbofields")); }
    // A destination chosen the way a user does it: click the cell, type, Enter.
    void Choose(int row, const QString& typed) const {
        ClickCell(row, kDestination);
        Type(*Editor(), typed);
        Key(*Editor(), Qt::Key_Return);
    }

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    SessionState session;
    RecordStore store_;
    std::unique_ptr<MappingWindow> window_;
};

// Which item a prefix finds is the grid's; here, that the window's editor
// completes, commits on Enter or on leaving, and moves down but not past the end.
TEST_F(MappingWindowTest, TheEditorCompletesAndCommitsIntoTheRowItWasOpenedOn) {
    EXPECT_EQ(Grid().currentIndex().row(), 0);  // it opens on the grid's current row, the first
    ClickCell(0, kDestination);
    ASSERT_TRUE(Editor() && Editor()->isVisible());
    Type(*Editor(), QStringLiteral("s"));
    EXPECT_EQ(Editor()->lineEdit()->selectedText(), "ex");
    Key(*Editor(), Qt::Key_Return);
    EXPECT_EQ(Cell(0, kDestination), "Sex");
    EXPECT_EQ(Grid().currentIndex().row(), 1);
    EXPECT_EQ(Editor(), nullptr);  // not reopened on the new row

    ClickCell(1, kDestination);
    Type(*Editor(), QStringLiteral("mob"));
    ClickCell(2, MappingGridModel::kSample);
    EXPECT_EQ(Cell(1, kDestination) + Cell(1, MappingGridModel::kFieldIndex) + "|" + Cell(2, kDestination),
              "MobileNumber6|");
    EXPECT_EQ(Editor(), nullptr);  // a sample cell opens no editor

    Choose(3, QStringLiteral("ci"));
    EXPECT_EQ(Cell(3, kDestination), "City");
    EXPECT_EQ(Grid().currentIndex().row(), 3);
}

// What OK refuses, and with which message, the grid's own tests prove.
TEST_F(MappingWindowTest, OkCommitsAPendingChoiceAndStoresWhileCancelTheCloseBoxAndARefusalLeaveTheMap) {
    Click(Child<QPushButton>(*window_, "cmdFinish"));  // nothing mapped: refused, the dialog stays open
    EXPECT_EQ(std::pair(ui_->messages.size(), window_->isVisible()), std::pair(std::size_t{1}, true));
    const struct {
        const char* how;
        const char* stored;  // entries 1 and 2 afterwards
    } cases[] = {{"cmdFinish", "FirstName|1MobileNumber"}, {"cmdCancel", "Hobby|-1"}, {"close box", "Hobby|-1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        session.ColumnMap.Reset();
        session.ColumnMap[1] = {"3", "Hobby"};
        window_ = std::make_unique<MappingWindow>(session, store_);
        test::ShowActive(*window_);
        Choose(0, QStringLiteral("fir"));
        ClickCell(1, kDestination);
        Type(*Editor(), QStringLiteral("mob"));  // still in the editor when the dialog closes
        if (std::string(c.how) == "close box")
            window_->close();
        else
            Click(Child<QPushButton>(*window_, c.how));
        EXPECT_FALSE(window_->isVisible());
        EXPECT_EQ(
            session.ColumnMap[1].FieldName + "|" + session.ColumnMap[2].SourcePosition + session.ColumnMap[2].FieldName,
            c.stored);
    }
}

TEST_F(MappingWindowTest, MatchByHeaderIsOfferedOnlyWithAHeaderAndMapsTheRowsByIt) {
    EXPECT_FALSE(Child<QPushButton>(*window_, "cmdMatchHeader").isVisible());

    window_ = std::make_unique<MappingWindow>(
        session, store_, std::vector<std::string>{"Given Name", "Mobile Phone", "Notes", "Home City"});
    test::ShowActive(*window_);
    QPushButton& match = Child<QPushButton>(*window_, "cmdMatchHeader");
    ASSERT_TRUE(match.isVisible() && match.text() == "Match by &Header");
    Click(match);
    EXPECT_EQ(Cell(2, kDestination), "<ignore>");
    Click(Child<QPushButton>(*window_, "cmdFinish"));
    EXPECT_EQ(session.ColumnMap[2].SourcePosition + session.ColumnMap[2].FieldName, "1MobileNumber");
}

TEST_F(MappingWindowTest, ColumnWidthsAreTwipsAtTheScreensResolutionAndALoadingFailureStillOpens) {
    QTableView& grid = Grid();
    EXPECT_EQ(std::vector({grid.verticalHeader()->width(), grid.columnWidth(MappingGridModel::kSample),
                           grid.columnWidth(kDestination), grid.width()}),
              std::vector({Twips(300, grid), Twips(2150, grid), Twips(2420, grid), Twips(5200, grid)}));
    EXPECT_TRUE(grid.isColumnHidden(MappingGridModel::kFieldIndex));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Vertical).toString(), "1");
    EXPECT_TRUE(grid.model()->index(0, MappingGridModel::kSample).data(MappingGridModel::kSampleRole).isNull());

    const RecordStore empty;
    MappingWindow failed(session, empty);
    EXPECT_EQ(ui_->messages.size(), 1u);  // its text: the grid's tests
    test::ShowActive(failed);
    EXPECT_EQ(Child<QTableView>(failed, "MSFlexGrid1").model()->rowCount(), 0);
}

}  // namespace
}  // namespace pelmar::gui
