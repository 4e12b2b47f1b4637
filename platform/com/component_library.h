// A component library loaded into the process, and objects created by ProgID
// through the registry; the library stays loaded while any of its objects lives.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/com/component_registry.h"

namespace kado::com {

class ComponentLibrary {
public:
    // Fails with 429 naming the path and the loader's message.
    static std::shared_ptr<ComponentLibrary> Load(const std::filesystem::path& path);
    ~ComponentLibrary();
    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;

    // The exported symbol, nullptr when the library has none.
    void* Symbol(const char* name) const noexcept;
    const std::filesystem::path& Path() const noexcept { return path_; }

private:
    ComponentLibrary(std::filesystem::path path, void* handle) : path_(std::move(path)), handle_(handle) {}
    std::filesystem::path path_;
    void* handle_;
};

// Loads the library once and calls its self-registration entry point (the
// unregistration one with `unregister`); gives the library's message. Fails
// with 429 when it cannot be loaded or lacks the entry point, else with the
// number and text the entry point returned.
std::string CallRegistration(const std::filesystem::path& library, bool unregister = false);

// `file` in the folder the platform libraries were loaded from, for modules
// that are loaded only when needed; just `file` (the loader's search) when the
// folder cannot be told.
std::filesystem::path BesidePlatform(std::string_view file);

// The object the registered library makes for the ProgID, as its creation
// entry point returned it; released through the library when the last
// reference goes. Fails with 429 when the ProgID is not registered, the
// library cannot be loaded or lacks the entry points, or it makes no object.
std::shared_ptr<void> CreateObject(std::string_view progId, const ComponentRegistry& registry = ComponentRegistry());

}  // namespace kado::com
