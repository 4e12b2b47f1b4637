#include "plugin/component/dialog_registry.h"

#include <array>

#include "plugin/component/honora.h"

namespace honora {
namespace {

struct Slot {
    DialogFactory factory;
    std::shared_ptr<ModelessDialog> instance;
};

std::array<Slot, kCategories.size()>& Slots() {
    static std::array<Slot, kCategories.size()> slots;
    return slots;
}

bool Valid(int16_t index) { return index >= 0 && index < static_cast<int16_t>(kCategories.size()); }

}  // namespace

void RegisterDialog(int16_t index, DialogFactory factory) {
    if (!Valid(index)) return;
    auto& slot = Slots()[static_cast<size_t>(index)];
    slot.factory = std::move(factory);
    slot.instance.reset();
}

void UnregisterDialogs() { Slots() = {}; }

bool HasDialog(int16_t index) { return Valid(index) && Slots()[static_cast<size_t>(index)].factory != nullptr; }

const char* CategoryName(int16_t index) { return Valid(index) ? kCategories[static_cast<size_t>(index)] : nullptr; }

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
