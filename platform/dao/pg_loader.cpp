// The server engine's module, loaded with the first server connection.
#include <dlfcn.h>

#include <mutex>

#include "platform/com/component_library.h"
#include "platform/dao/engine.h"
#include "platform/dao/error.h"

namespace kado::dao::engine {

namespace {

struct ServerModule {
    ServerOpenFn open = nullptr;
    std::string failure;  // why it could not be loaded
};

// Loaded once and never unloaded: connections and their code live in it.
const ServerModule& Module() {
    static ServerModule module;
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string path = com::BesidePlatform(kServerModule).string();
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = ::dlerror();
            module.failure = "the server engine " + path + " cannot be loaded: " + (why ? why : "unknown reason");
            return;
        }
        module.open = reinterpret_cast<ServerOpenFn>(::dlsym(handle, kServerOpen));
        if (module.open == nullptr) module.failure = "the server engine " + path + " has no entry point " + kServerOpen;
    });
    return module;
}

}  // namespace

std::unique_ptr<Connection> OpenPostgres(const std::string& uri, bool create) {
    const ServerModule& module = Module();
    if (module.open == nullptr)
        com::Raise(err::CannotOpenDatabase, "Cannot open database '" + Redacted(uri) + "': " + module.failure);
    return std::unique_ptr<Connection>(module.open(uri.c_str(), create));
}

}  // namespace kado::dao::engine
