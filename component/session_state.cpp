#include "component/session_state.h"

namespace pelmar {

SessionState& Session() {
    // One per host thread: the windows and Managers of a thread share it.
    thread_local SessionState state;
    return state;
}

}  // namespace pelmar
