#include "plugin/component/session_context.h"

namespace honora {

SessionContext& Session() {
    static SessionContext session;
    return session;
}

std::shared_ptr<kado::forms::Desktop> SessionDesktop() {
    auto& desktop = Session().Desktop;
    if (!desktop) desktop = std::make_shared<kado::forms::HeadlessDesktop>();
    return desktop;
}

void ResetSession() { Session() = SessionContext{}; }

}  // namespace honora
