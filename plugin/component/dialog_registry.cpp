#include "plugin/component/dialog_registry.h"

#include <array>

namespace honora {
namespace {

struct Slot {
    DialogFactory factory;
    std::shared_ptr<ModelessDialog> instance;
};

std::array<Slot, 5>& Slots() {
    static std::array<Slot, 5> slots;
    return slots;
}

bool Valid(int16_t index) { return index >= 0 && index < 5; }

}  // namespace

void RegisterDialog(int16_t index, DialogFactory factory) {
    if (!Valid(index)) return;
    auto& slot = Slots()[static_cast<size_t>(index)];
    slot.factory = std::move(factory);
    slot.instance.reset();
}

void UnregisterDialogs() { Slots() = {}; }

bool HasDialog(int16_t index) { return Valid(index) && Slots()[static_cast<size_t>(index)].factory != nullptr; }

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
