// The export run at its edges (the default format's lines: the export dialog's tests).
#include "core/export_run.h"

#include <gtest/gtest.h>

#include "testing/db_backends.h"
#include "testing/recording_observer.h"

namespace pelmar {
namespace {

class ExportRunTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec(
            {"INSERT INTO SMS_ABCONTACTS (USER_ID,FNAME,LNAME,MOBILENO,SEX,BIRTHDAY,AGE,CITY) VALUES "
             "(2,'Ann','Lee','98100','F','1990-01-02',30,'Pune, MH'),(0,'Bo','\"Ray\"','98101',NULL,NULL,0,NULL),"
             "(2,'Cy','Ng','98102','M',NULL,5,'Goa')"});
        test::WriteFile(file_, "");
    }

    ExportSummary Export(RunApplicationAt runAt, ExportFormat format, const std::atomic<bool>* stop = nullptr) {
        return RunExport({.destinationFile = "out.csv",
                          .outputFile = file_,
                          .runAt = runAt,
                          .userId = 2,
                          .stop = stop,
                          .format = format},
                         &Book(), observer_);
    }

    std::string file_ = Folder().file("out.csv");
    test::RecordingRunObserver observer_;
};

TEST_P(ExportRunTest, CsvHasEveryFieldInFieldOrderUnderAHeader) {
    const std::string header =
        "FirstName,MiddleName,LastName,Email,Address,MobileNumber,Organisation,Sex,CountryCode,Age,City,State,"
        "Country,Zip,HomePhone,OfficePhone,Fax,Birthday,Anniversary,Hobby\r\n";
    const std::string ann = "Ann,,Lee,,,98100,,F,,30,\"Pune, MH\",,,,,,,1990-01-02,,\r\n";
    const std::string bo = "Bo,,\"\"\"Ray\"\"\",,,98101,,,,0,,,,,,,,,,\r\n";
    const std::string cy = "Cy,,Ng,,,98102,,M,,5,Goa,,,,,,,,,\r\n";
    for (const auto& [runAt, written] :
         {std::pair{RuntAtClient, header + ann + cy}, std::pair{RuntAtServer, header + ann + bo + cy}}) {
        test::WriteFile(file_, "");
        const ExportSummary summary = Export(runAt, ExportFormat::Csv);
        EXPECT_FALSE(summary.Errors);
        EXPECT_EQ(summary.Count, runAt == RuntAtClient ? 2 : 3);
        EXPECT_EQ(test::ReadFile(file_), written);
    }
}

// A stop ends the run before its first line; a run place that selects no
// query opens nothing, and the end test fails. Neither writes a line.
TEST_P(ExportRunTest, StoppedOrWithoutAQueryTheRunWritesNothing) {
    const std::atomic<bool> stop = true;
    ExportSummary summary = Export(RuntAtServer, ExportFormat::Quoted8, &stop);
    EXPECT_EQ(std::tuple(summary.Interrupted, summary.Errors, summary.Count), std::tuple(true, false, 0));
    ASSERT_GE(observer_.log.size(), 5u);
    EXPECT_EQ(observer_.log[3], "PelmarImpExp: Export stopped by an interrupt after 0 records.");
    EXPECT_EQ(observer_.log[4], "PelmarImpExp: 0 records exported successfully.");
    summary = Export(static_cast<RunApplicationAt>(2), ExportFormat::Quoted8);
    EXPECT_EQ(std::tuple(summary.NoContacts, summary.Errors), std::tuple(true, true));
    EXPECT_EQ(
        observer_.messages,
        (std::vector<std::string>{"Contacts successfully exported to 'out.csv'.\r\nPlease view Export Log for details.",
                                  "No Contacts to Export."}));
    EXPECT_EQ(test::ReadFile(file_), "");
    EXPECT_EQ(observer_.busyCalls, "1010");
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ExportRunTest);

}  // namespace
}  // namespace pelmar
