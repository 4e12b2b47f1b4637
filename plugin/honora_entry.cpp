// Entry point of the component server: the C functions a host or the
// registration tool calls to create the class behind a ProgID.
#include <memory>
#include <utility>

#include "plugin/component/dialog_registry.h"
#include "plugin/component/honora.h"
#include "plugin/dialogs/categories/category_dialogs.h"

#define HONORA_EXPORT __attribute__((visibility("default")))

// The C boundary cannot carry a shared_ptr by value, so it hands out a
// heap-held one that honora_ReleaseObject frees.
extern "C" HONORA_EXPORT void* honora_CreateObject(const char* progId) {
    // The dialogs join the registry with the first object; re-registering
    // later would drop a dialog that is open.
    if (!honora::HasDialog(0)) honora::RegisterCategoryDialogs();
    auto go = honora::CreateObject(progId);
    if (!go) return nullptr;
    return new std::shared_ptr<honora::IGO>(std::move(go));
}

extern "C" HONORA_EXPORT void honora_ReleaseObject(void* object) {
    delete static_cast<std::shared_ptr<honora::IGO>*>(object);
}
