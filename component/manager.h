#pragma once
// Manager: the component's one creatable class. It keeps no data of its own;
// everything lives in a SessionState, the calling thread's unless one is
// given. Its methods are the component's entry points: the only code that
// reaches the thread's state, which they hand to the forms they drive.
#include <cstdint>
#include <string>
#include <thread>

#include "core/enums.h"

namespace pelmar {

struct SessionState;

class Manager {
public:
    // Makes a file size limit an ordinary write error for the process (see
    // IgnoreFileSizeSignal), so that a run over the limit reports and goes on.
    // A Manager over the calling thread's SessionState, as hosts make it.
    Manager();
    // A Manager over `state`, which must outlive it (for hosts and tests
    // that keep their own).
    explicit Manager(SessionState& state);
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
    SessionState* state_;  // a pointer: the C ABI embeds a Manager in a standard-layout object
    std::thread::id owner_ = std::this_thread::get_id();
};

}  // namespace pelmar
