// Measures the import wizard on a large file, offscreen: the file check that
// loads the preview, the listing behind Next, the longest time the window
// goes without handling its events meanwhile, memory, and scrolling the
// preview list and the preview box.
//   QT_QPA_PLATFORM=offscreen gui_measure_listing FILE
#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "common/ui.h"
#include "component/manager.h"
#include "db/connection.h"
#include "db/schema.h"
#include "forms/import_form.h"
#include "gui/import_wizard_window.h"
#include "gui/text_preview.h"
#include "session/session_state.h"

namespace {

// The process's resident memory now and at its peak, in MiB.
std::pair<double, double> MemoryMiB() {
    std::ifstream status("/proc/self/status");
    double rss = 0, peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) rss = std::stod(line.substr(6)) / 1024;
        if (line.rfind("VmHWM:", 0) == 0) peak = std::stod(line.substr(6)) / 1024;
    }
    return {rss, peak};
}

// The longest gap between two turns of the event loop while it runs.
class StallMeter {
public:
    StallMeter() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { longest_ = std::max(longest_, sinceLast_.restart()); });
    }
    void Start() {
        longest_ = 0;
        sinceLast_.start();
        timer_.start();
    }
    qint64 Stop() {
        timer_.stop();
        return std::max(longest_, sinceLast_.elapsed());
    }

private:
    QTimer timer_;
    QElapsedTimer sinceLast_;
    qint64 longest_ = 0;
};

template <class W>
W& Child(const QWidget& window, const char* name) {
    return *window.findChild<W*>(QString::fromLatin1(name));
}

// Milliseconds of the slowest of `jumps` repaints at random scroll positions.
double SlowestJump(QAbstractScrollArea& area, int jumps) {
    std::mt19937 random(7);
    QScrollBar& bar = *area.verticalScrollBar();
    double slowest = 0;
    for (int i = 0; i < jumps; ++i) {
        QElapsedTimer t;
        t.start();
        bar.setValue(std::uniform_int_distribution<int>(0, bar.maximum())(random));
        area.viewport()->repaint();
        slowest = std::max(slowest, t.nsecsElapsed() / 1e6);
    }
    return slowest;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gui_measure_listing FILE\n");
        return 2;
    }
    QApplication app(argc, argv);
    using namespace pelmar;
    const std::string file = std::filesystem::absolute(argv[1]).string();
    const auto folder = std::filesystem::temp_directory_path() / ("pelmar-measure-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string book = "Driver=SQLite3;Database=" + (folder / "book.db").string();
    db::CreateSqliteDatabase((folder / "book.db").string());
    {
        db::Connection connection;
        connection.Open(book);
        db::CreateSchema(connection);
    }
    SetUserInterface(std::make_shared<RecordingUserInterface>());
    SessionState session;
    Manager(session).Init("", book, RuntAtServer, (folder / "measure.log").string());

    const auto [startRss, startPeak] = MemoryMiB();
    ImportForm form(session);
    gui::ImportWizardWindow wizard(form);
    wizard.resize(800, 600);
    wizard.show();
    if (!QTest::qWaitForWindowExposed(&wizard)) return 1;
    StallMeter stalls;

    auto& location = Child<QLineEdit>(wizard, "txtLocation");
    location.setFocus();
    QTest::keyClicks(&location, QString::fromStdString(file));
    QElapsedTimer timer;
    timer.start();
    stalls.Start();
    Child<QPushButton>(wizard, "cmdBrowse").setFocus();  // leaving the box checks the file
    app.processEvents();
    const qint64 checkMs = timer.elapsed();
    const qint64 checkStall = stalls.Stop();
    const auto [checkRss, checkPeak] = MemoryMiB();

    timer.restart();
    stalls.Start();
    QTest::mouseClick(&Child<QPushButton>(wizard, "cmdNext"), Qt::LeftButton);
    app.processEvents();
    const qint64 listMs = timer.elapsed();
    const qint64 listStall = stalls.Stop();
    const auto [listRss, listPeak] = MemoryMiB();

    auto& list = Child<QTableView>(wizard, "lvwContacts");
    timer.restart();
    list.scrollToBottom();
    list.viewport()->repaint();
    const qint64 toEndMs = timer.elapsed();
    const double listJump = SlowestJump(list, 200);

    QTest::mouseClick(&Child<QPushButton>(wizard, "cmdPrev"), Qt::LeftButton);
    app.processEvents();
    const double previewJump = SlowestJump(Child<gui::TextPreview>(wizard, "rtfPreview"), 200);

    std::printf("file: %s, %.1f MiB, %d lines; %d rows listed\n", file.c_str(),
                std::filesystem::file_size(file) / 1048576.0, form.vars.SourceLineCount, form.lvwContacts.RowCount());
    std::printf("| step | time | longest stall | resident memory (peak) |\n|---|---|---|---|\n");
    std::printf("| window open | | | %.0f MiB (%.0f) |\n", startRss, startPeak);
    std::printf("| file check and preview | %lld ms | %lld ms | %.0f MiB (%.0f) |\n", checkMs, checkStall, checkRss,
                checkPeak);
    std::printf("| Next: listing | %lld ms | %lld ms | %.0f MiB (%.0f) |\n", listMs, listStall, listRss, listPeak);
    std::printf("| list: scroll to the end | %lld ms | | |\n", toEndMs);
    std::printf("| list: slowest of 200 jumps | %.1f ms | | |\n", listJump);
    std::printf("| preview: slowest of 200 jumps | %.1f ms | | |\n", previewJump);
    std::printf("record store: %.0f MiB\n", form.lvwContacts.MemoryUsage() / 1048576.0);
    wizard.reject();
    std::filesystem::remove_all(folder);
    return 0;
}
