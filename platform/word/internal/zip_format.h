// The zip container under a package: its central directory read with every
// offset checked against the bytes, and an archive written record by record.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct libdeflate_compressor;

namespace kado::word::pkg {

// Raises err::BadPackage with "Das Dokument ist beschädigt: " before `what`.
[[noreturn]] void Bad(const std::string& what);

namespace zip {

inline constexpr uint16_t kStored = 0;
inline constexpr uint16_t kDeflated = 8;

// One entry as its central directory record and local header give it. All
// offsets are into the archive's bytes and were checked to lie inside them.
struct Record {
    std::string name;          // raw bytes of the central record
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint64_t compressed = 0;
    uint64_t size = 0;
    uint64_t local = 0;        // local header
    uint64_t data = 0;         // compressed data
    uint64_t end = 0;          // past the data and its data descriptor, if any
    uint64_t central = 0;      // the central record
    uint64_t centralSize = 0;
    uint32_t offsetAt = 0;     // where in the central record the local offset is kept
    uint8_t offsetWidth = 4;   // 4, or 8 in a zip64 extra field

    bool Encrypted() const { return (flags & 0x41) != 0; }   // bit 0, or strong encryption (bit 6)
};

// The entries of an archive in central directory order, at most `maxEntries`
// of them; anything malformed raises Bad().
std::vector<Record> ReadDirectory(std::string_view bytes, uint64_t maxEntries);

// Builds an archive in memory. Entries are written in the order added.
class Writer {
public:
    Writer();
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Local header, data and descriptor as read; the central record as read
    // with only the local offset changed.
    void AddCopy(std::string_view source, const Record& r);
    // Deflated at the fastest level, dated 1980-01-01 so that saves repeat.
    void AddDeflated(std::string_view name, std::string_view content);
    std::string Finish();

private:
    uint64_t LocalOffset() const;
    std::string out_;
    std::string central_;
    uint64_t count_ = 0;
    struct CompressorFree {
        void operator()(libdeflate_compressor* c) const;
    };
    std::unique_ptr<libdeflate_compressor, CompressorFree> deflater_;
};

}  // namespace zip
}  // namespace kado::word::pkg
