#include "session/session_state.h"

namespace pelmar {

SessionState& Session() {
    // One per host thread: the windows and Managers of a thread share it.
    thread_local SessionState state;
    return state;
}

db::Connection& RequiredConnection(const std::shared_ptr<db::Connection>& connection) {
    return db::Required(connection.get());
}

}  // namespace pelmar
