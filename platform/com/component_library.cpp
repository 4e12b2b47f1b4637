#include "platform/com/component_library.h"

#include <dlfcn.h>

#include <utility>

#include "platform/com/component_server.h"
#include "platform/com/error.h"

namespace kado::com {

namespace {

[[noreturn]] void CannotCreate(std::string text) { Raise(err::CannotCreateObject, std::move(text)); }

// An address inside this library, which sits with the other platform libraries.
void Anchor() {}

}  // namespace

std::shared_ptr<ComponentLibrary> ComponentLibrary::Load(const std::filesystem::path& path) {
    // RTLD_LOCAL: two components may carry the same internal names.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        CannotCreate("Component library cannot be loaded: " + path.string() + ": " + (why ? why : "unknown reason"));
    }
    return std::shared_ptr<ComponentLibrary>(new ComponentLibrary(path, handle));
}

ComponentLibrary::~ComponentLibrary() { ::dlclose(handle_); }

void* ComponentLibrary::Symbol(const char* name) const noexcept { return ::dlsym(handle_, name); }

std::filesystem::path BesidePlatform(std::string_view file) {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&Anchor), &info) == 0 || info.dli_fname == nullptr ||
        std::string_view(info.dli_fname).find('/') == std::string_view::npos)
        return std::filesystem::path(file);
    return std::filesystem::path(info.dli_fname).parent_path() / file;
}

std::string CallRegistration(const std::filesystem::path& path, bool unregister) {
    auto library = ComponentLibrary::Load(path);
    const char* name = unregister ? entry::kUnregisterServer : entry::kRegisterServer;
    auto call = reinterpret_cast<entry::RegisterServerFn>(library->Symbol(name));
    if (!call) CannotCreate("Component library has no entry point " + std::string(name) + ": " + path.string());
    char message[1024] = {};
    if (const int result = call(message, sizeof message); result != 0) throw Error(result, message);
    return message;
}

std::shared_ptr<void> CreateObject(std::string_view progId, const ComponentRegistry& registry) {
    const auto registration = registry.Find(progId);
    if (!registration)
        CannotCreate("Component '" + std::string(progId) + "' is not registered (" + registry.File().string() + ")");
    auto library = ComponentLibrary::Load(registration->library);
    auto create = reinterpret_cast<entry::CreateObjectFn>(library->Symbol(entry::kCreateObject));
    auto release = reinterpret_cast<entry::ReleaseObjectFn>(library->Symbol(entry::kReleaseObject));
    if (!create || !release)
        CannotCreate("Component library has no creation entry point: " + registration->library.string());
    const std::string id(progId);
    void* object = create(id.c_str());
    if (object == nullptr) CannotCreate("Component library makes no '" + id + "': " + registration->library.string());
    // The deleter holds the library, so it is unloaded only after the object is released.
    return std::shared_ptr<void>(object, [release, library](void* o) { release(o); });
}

}  // namespace kado::com
