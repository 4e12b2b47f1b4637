// The process's one desktop, as a window system has one per session: the
// host installs it, components find it without being linked to the host.
#include <utility>

#include "platform/forms/forms.h"

namespace kado::forms {
namespace {

std::shared_ptr<Desktop>& Slot() {
    static std::shared_ptr<Desktop> desktop;
    return desktop;
}

}  // namespace

void InstallDesktop(std::shared_ptr<Desktop> desktop) { Slot() = std::move(desktop); }

std::shared_ptr<Desktop> InstalledDesktop() { return Slot(); }

}  // namespace kado::forms
