#pragma once
// A Manager of libPelmarImpExp.so as a host sees it, through the library's
// C interface only: created from the library's file or its registration,
// called through its function table, released when this object ends.
#include <cstdint>
#include <string>

struct PelmarManager;

namespace pelmar::gui {

class ManagerClient {
public:
    // The Manager of the library at `library` when that file exists, else
    // of the registered class. Throws std::runtime_error, with the host
    // helper's message, when neither can be had.
    explicit ManagerClient(const std::string& library);
    ~ManagerClient();
    ManagerClient(const ManagerClient&) = delete;
    ManagerClient& operator=(const ManagerClient&) = delete;

    // An empty `logFile` leaves the log at the library's default.
    void Init(const std::string& local, const std::string& remote, int32_t runAt, const std::string& logFile = "");
    int32_t ImportContacts(int32_t user);
    int32_t ExportContacts(int32_t user);
    std::string LogFile();

    // The files the last ImportContacts on this thread wrote besides its
    // log; "" for one it did not write.
    struct ImportFiles {
        std::string badFile;
        std::string rejectsFile;
    };
    ImportFiles LastImportFiles();

private:
    // A function the Manager's library exports, found through the object's
    // table: the library that made the object is the one whose memory
    // rules apply. Null when it has none of that name.
    void* LibraryFunction(const char* name) const;

    PelmarManager* manager_ = nullptr;
};

}  // namespace pelmar::gui
