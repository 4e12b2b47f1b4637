// The per-user registry of components: which library serves a ProgID. Kept
// beside the settings stores; every change is a locked read-modify-write.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kado::com {

struct Registration {
    std::string progId;  // "honora.GO"
    std::string clsid;   // the class identity, "{...}"
    std::filesystem::path library;
    bool operator==(const Registration&) const = default;
};

// <config home>/KadoKomponenten/registry.txt
std::filesystem::path DefaultRegistryPath();

// One registration a line: ProgID, class identity and library path separated
// by tabs. Lines that are not three non-empty fields are skipped, as is a
// ProgID seen before; the file is the registry's only state.
std::vector<Registration> ParseRegistry(std::string_view text);
std::string FormatRegistry(const std::vector<Registration>& entries);

class ComponentRegistry {
public:
    explicit ComponentRegistry(std::filesystem::path file = DefaultRegistryPath());

    // Adds or replaces the ProgID's entry. Fails with 70 or 75 when the store
    // cannot be locked or written; concurrent callers never lose each other's entries.
    void Register(const Registration& registration) const;
    // False when the ProgID was not registered.
    bool Unregister(std::string_view progId) const;

    std::optional<Registration> Find(std::string_view progId) const;
    std::vector<Registration> All() const;
    const std::filesystem::path& File() const noexcept { return file_; }

private:
    std::filesystem::path file_;
};

}  // namespace kado::com
