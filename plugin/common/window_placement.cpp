#include "plugin/common/window_placement.h"

#include <string>

#include "platform/com/numtext.h"
#include "platform/com/variant.h"
#include "platform/settings/settings.h"
#include "plugin/common/steps.h"

namespace honora {
namespace {

constexpr const char* kApp = "KadoVerwaltung";

std::string Read(const kado::forms::Form& form, const char* key) {
    return kado::settings::GetSetting(kApp, form.Name(), key, "0");
}

void Write(const kado::forms::Form& form, const char* key, const std::string& value) {
    kado::settings::SaveSetting(kApp, form.Name(), key, value);
}

}  // namespace

void GetWindowReg(kado::forms::Form& form) {
    Steps s("G_Funktionen", "GetWindowReg");
    // The stored texts go through the runtime's coercions, so a damaged value
    // fails its own step (13 or 6) and the others still run.
    s(100, [&] { form.SetWindowState(kado::com::Variant(Read(form, "State")).ToInteger()); });
    if (form.WindowState() != kado::forms::WindowState::Normal) return;
    s(120, [&] { form.SetTop(kado::com::Variant(Read(form, "Top")).ToSingle()); });
    s(130, [&] { form.SetLeft(kado::com::Variant(Read(form, "Left")).ToSingle()); });
}

void SetWindowReg(kado::forms::Form& form) {
    Steps s("G_Funktionen", "SetWindowReg");
    s(100, [&] { Write(form, "State", std::to_string(static_cast<int>(form.WindowState()))); });
    if (form.WindowState() != kado::forms::WindowState::Normal) return;
    s(120, [&] { Write(form, "Top", kado::com::NumberToTextSingle(static_cast<float>(form.Top()))); });
    s(130, [&] { Write(form, "Left", kado::com::NumberToTextSingle(static_cast<float>(form.Left()))); });
}

}  // namespace honora
