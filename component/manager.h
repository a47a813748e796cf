#pragma once
// Manager: the component's one creatable class. It keeps no data of its own;
// everything lives in the calling thread's SessionState.
#include <cstdint>
#include <string>
#include <thread>

#include "core/enums.h"

namespace pelmar {

class Manager {
public:
    // Makes a file size limit an ordinary write error for the process (see
    // IgnoreFileSizeSignal), so that a run over the limit reports and goes on.
    Manager();
    // Unloads the windows when it ends on the thread that made it (windows
    // belong to their thread); SessionState stays.
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    std::string LogFile() const;
    void SetLogFile(const std::string& logFile);

    // Proves the connection strings and fills SessionState. Failures are
    // recorded, not thrown, once a logger exists.
    void Init(const std::string& p_ClientDBString, const std::string& p_RemoteDBString, RunApplicationAt p_Runfor,
              const std::string& LogFile = "");

    // 1 when the window was shown and closed, 0 otherwise.
    int32_t ImportContacts(int32_t& User_ID);
    int32_t ExportContacts(int32_t& User_ID);

    // Whether the last Init reached every configured database (for hosts
    // linked in; the interface of the class does not publish it).
    bool InitDone() const;

private:
    std::thread::id owner_ = std::this_thread::get_id();
};

}  // namespace pelmar
