#include "eventlogger/event_logger.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <system_error>
#include <vector>

#include "common/clock.h"
#include "common/file.h"
#include "common/text.h"

namespace pelmar {
namespace {

std::string Line(const std::string& text, LogStamp stamp) {
    return (stamp == LogStamp::DateTime ? NowDateTime() + " " : std::string()) + FoldLineBreaks(text);
}

void CreateFolderOf(const std::string& logFile) {
    const std::filesystem::path folder = std::filesystem::path(logFile).parent_path();
    if (folder.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw FileError(ec.value(), logFile, false);
}

}  // namespace

// The files appended to, kept open: a run writes hundreds of thousands of
// lines to its log and .bad file, and opening and closing for each line
// cost four system calls where a check of the path's identity and the write
// cost two.
struct EventLogger::OpenFiles {
    struct Entry {
        std::string path;
        std::unique_ptr<File> file;
        uint64_t device = 0;
        uint64_t inode = 0;
    };
    static constexpr std::size_t kMaxOpen = 4;

    // The open file for `path` when the path still names it; null otherwise.
    File* Find(const std::string& path) {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->path != path) continue;
            const std::optional<File::Stamp> now = StampOf(path);
            if (now && now->device == it->device && now->inode == it->inode) return it->file.get();
            entries.erase(it);  // deleted or rotated: opened afresh
            return nullptr;
        }
        return nullptr;
    }

    File& Open(const std::string& path) {
        auto file = std::make_unique<File>(path, File::Mode::Append);
        const File::Stamp stamp = file->CurrentStamp();
        if (entries.size() == kMaxOpen) entries.erase(entries.begin());
        entries.push_back({path, std::move(file), stamp.device, stamp.inode});
        return *entries.back().file;
    }

    void Forget(const std::string& path) {
        std::erase_if(entries, [&](const Entry& entry) { return entry.path == path; });
    }

    std::vector<Entry> entries;
};

EventLogger::EventLogger(MessageSink sink) : sink_(std::move(sink)), open_(std::make_unique<OpenFiles>()) {}

EventLogger::~EventLogger() = default;

void EventLogger::WriteLine(const std::string& logFile, const std::string& line, LogWrite write) {
    if (logFile.empty())
        throw EventLoggerError(errnum::PathFileAccessError, "Path/File access error: no log file named");
    try {
        if (write == LogWrite::Truncate) {
            open_->Forget(logFile);
            CreateFolderOf(logFile);
            File file(logFile, File::Mode::Output);
            file.Write(line + "\n");
            file.Close();
            return;
        }
        File* file = open_->Find(logFile);
        if (!file) {
            CreateFolderOf(logFile);
            file = &open_->Open(logFile);
        }
        // One write of the whole line, so that a reader sees whole lines.
        file->Write(line + "\n");
    } catch (const Error& e) {
        open_->Forget(logFile);
        throw EventLoggerError(e.Number(), e.Description());
    }
}

void EventLogger::WriteLog(const std::string& logFile, const std::string& message, LogStamp stamp, LogWrite write) {
    WriteLine(logFile, Line(message, stamp), write);
}
void EventLogger::WriteErrorLog(const std::string& logFile, const ErrorInfo& error, const std::string& message,
                                LogStamp stamp, LogWrite write) {
    const std::string record = message + " [Error " + std::to_string(error.Number) + ": " + error.Description +
                               "; Source: " + error.Source + "]";
    WriteLine(logFile, Line(record, stamp), write);
}

void EventLogger::ShowMessage(const std::string& message, int32_t style) {
    if (sink_) {
        sink_(message, style);
        return;
    }
    std::cerr << NormaliseLineBreaks(message) << '\n' << std::flush;
}

std::string EventLogger::DatabaseType() const {
    const char* type = std::getenv("PELMAR_DATABASE_TYPE");
    return type ? type : "";
}

}  // namespace pelmar
