#include "plugin/component/dialog_registry.h"

#include <array>

namespace honora {
namespace {

// What Show's indexes stand for: the form and its caption.
constexpr std::array<const char*, 5> kNames = {
    "frmKat5, Grenzfeststellung nach Nr. 30.6",      "frmKat4, Gebäudeaufnahme nach Nr. 30.4",
    "frmKat3, lang gestreckte Anlagen nach Nr. 30.3", "frmKat2, Baulandumlegung nach Nr. 30.2",
    "frmKat1, Zerlegung nach Nr. 30.1",
};

struct Slot {
    DialogFactory factory;
    std::shared_ptr<ModelessDialog> instance;
};

std::array<Slot, kNames.size()>& Slots() {
    static std::array<Slot, kNames.size()> slots;
    return slots;
}

bool Valid(int16_t index) { return index >= 0 && index < static_cast<int16_t>(kNames.size()); }

}  // namespace

void RegisterDialog(int16_t index, DialogFactory factory) {
    if (!Valid(index)) return;
    auto& slot = Slots()[static_cast<size_t>(index)];
    slot.factory = std::move(factory);
    slot.instance.reset();
}

void UnregisterDialogs() { Slots() = {}; }

bool HasDialog(int16_t index) { return Valid(index) && Slots()[static_cast<size_t>(index)].factory != nullptr; }

const char* CategoryName(int16_t index) { return Valid(index) ? kNames[static_cast<size_t>(index)] : nullptr; }

bool OpenDialog(int16_t index) {
    if (!Valid(index)) return false;
    auto& slot = Slots()[static_cast<size_t>(index)];
    if (!slot.factory) return false;
    if (!slot.instance || !slot.instance->IsOpen()) slot.instance = slot.factory();
    if (!slot.instance) return false;
    slot.instance->ShowModeless();
    return true;
}

}  // namespace honora
