#include "plugin/component/session_context.h"

namespace honora {

SessionContext& Session() {
    static SessionContext session;
    return session;
}

void ResetSession() { Session() = SessionContext{}; }

}  // namespace honora
