// Entry points of the component server: the C functions a host or the
// registration tool calls to create the class behind a ProgID and to enter
// it into the component registry or take it out.
#include <dlfcn.h>

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "platform/com/component_registry.h"
#include "platform/com/component_server.h"
#include "platform/com/error.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/component/go.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/categories/category_dialogs.h"

#define HONORA_EXPORT __attribute__((visibility("default")))

namespace {

// This library's own file, as the loader knows it.
std::filesystem::path OwnPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&OwnPath), &info) == 0 || info.dli_fname == nullptr)
        kado::com::Raise(kado::com::err::PathNotFound, "The component library cannot find its own file");
    return std::filesystem::absolute(info.dli_fname);
}

// Runs a registration step; an error goes back as its number and text.
template <class F>
int Reported(char* message, std::size_t size, F&& step) noexcept {
    auto say = [&](const std::string& text) {
        if (message != nullptr && size > 0) std::snprintf(message, size, "%s", text.c_str());
    };
    try {
        say(std::forward<F>(step)());
        return 0;
    } catch (const kado::com::Error& e) {
        say(e.Description());
        return e.Number() != 0 ? e.Number() : 1;
    } catch (const std::exception& e) {
        say(e.what());
        return 1;
    }
}

}  // namespace

// The C boundary cannot carry a shared_ptr by value, so it hands out a
// heap-held one that honora_ReleaseObject frees.
extern "C" HONORA_EXPORT void* honora_CreateObject(const char* progId) {
    // The dialogs join the registry with the first object; re-registering
    // later would drop a dialog that is open.
    if (!honora::HasDialog(0)) honora::RegisterCategoryDialogs();
    auto go = honora::CreateObject(progId);
    if (!go) return nullptr;
    ++honora::Session().Objects;
    return new std::shared_ptr<honora::IGO>(std::move(go));
}

extern "C" HONORA_EXPORT void honora_ReleaseObject(void* object) {
    if (object == nullptr) return;
    delete static_cast<std::shared_ptr<honora::IGO>*>(object);
    // The host holds no GO any more: the component ends as if unloaded, so a
    // library the loader keeps leaves no dialog or stale host object behind.
    if (--honora::Session().Objects > 0) return;
    honora::UnregisterDialogs();
    honora::ResetSession();
}

extern "C" HONORA_EXPORT void* kado_CreateObject(const char* progId) { return honora_CreateObject(progId); }

extern "C" HONORA_EXPORT void kado_ReleaseObject(void* object) { honora_ReleaseObject(object); }

extern "C" HONORA_EXPORT int kado_RegisterServer(char* message, std::size_t size) {
    return Reported(message, size, [] {
        const auto path = OwnPath();
        kado::com::ComponentRegistry().Register({honora::kProgIdGO, honora::kClsidGO, path});
        return std::string(honora::kProgIdGO) + " registriert: " + path.string();
    });
}

extern "C" HONORA_EXPORT int kado_UnregisterServer(char* message, std::size_t size) {
    return Reported(message, size, [] {
        const bool was = kado::com::ComponentRegistry().Unregister(honora::kProgIdGO);
        return std::string(honora::kProgIdGO) + (was ? " ausgetragen" : " war nicht registriert");
    });
}
