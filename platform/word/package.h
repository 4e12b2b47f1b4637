// The zip package of a .docx: bounded, validated reading of parts and writing
// back with untouched parts copied byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kado::word::pkg {

namespace zip {
struct Record;
}

// What inflating may cost. Word processors write parts that deflate 250:1 and
// more (long runs of like paragraphs), so the ratio only counts for parts
// whose inflated size is large enough to matter.
struct Limits {
    uint64_t maxPartBytes = 64ull << 20;
    uint64_t maxTotalBytes = 512ull << 20;  // of all parts read, headers and inflation alike
    double maxRatio = 200.0;                // only checked for parts above ratioFloor
    uint64_t ratioFloor = 16ull << 20;
    size_t maxEntries = 10000;
};

class Package {
public:
    static Package FromBytes(std::string_view zipBytes, const Limits& limits = {});
    static Package Empty();

    bool Has(std::string_view name) const;
    std::string Read(std::string_view name) const;
    void Write(std::string_view name, std::string content);
    void Remove(std::string_view name);
    std::vector<std::string> Names() const;
    std::string ToBytes() const;

private:
    struct Entry {
        std::string name;
        size_t index = 0;        // into records_, for a part of the loaded archive
        bool written = false;
        std::string content;
    };
    Package() = default;
    const Entry* Find(std::string_view name) const;
    std::string ReadWhole(const zip::Record& r) const;

    std::shared_ptr<const std::string> source_;   // original zip bytes
    std::shared_ptr<const std::vector<zip::Record>> records_;   // their central directory
    Limits limits_;
    std::vector<Entry> entries_;
    mutable uint64_t inflated_ = 0;               // bytes inflated by Read so far
};

std::string ReadFileBounded(const std::filesystem::path& path, uint64_t maxBytes = 256ull << 20);

}  // namespace kado::word::pkg
