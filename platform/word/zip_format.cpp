#include "zip_format.h"

#include <libdeflate.h>

#include <algorithm>
#include <new>
#include <numeric>

#include "platform/word/error.h"

namespace kado::word::pkg {

void Bad(const std::string& what) { com::Raise(err::BadPackage, "Das Dokument ist beschädigt: " + what); }

namespace zip {
namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr uint32_t kCentralSig = 0x02014b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint32_t kZip64EndSig = 0x06064b50;
constexpr uint32_t kZip64LocatorSig = 0x07064b50;
constexpr uint32_t kDescriptorSig = 0x08074b50;
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint64_t kLocalSize = 30;
constexpr uint64_t kCentralSize = 46;
constexpr uint64_t kEndSize = 22;
constexpr uint64_t kZip64EndSize = 56;
constexpr uint64_t kLocatorSize = 20;
constexpr uint16_t kHasDescriptor = 0x0008;
constexpr uint16_t kUtf8Name = 0x0800;
constexpr uint16_t kVersion = 20;   // 2.0: deflate
// Made on Unix by 6.3, mode rw-rw-rw-: what our written parts always carried,
// so a save repeats the bytes of earlier versions.
constexpr uint16_t kMadeBy = (3 << 8) | 63;
constexpr uint32_t kFileMode = 0100666u << 16;
constexpr uint16_t kFixedDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
constexpr uint32_t k32 = 0xFFFFFFFFu;
constexpr uint16_t k16 = 0xFFFFu;

bool Fits(std::string_view b, uint64_t at, uint64_t n) { return at <= b.size() && n <= b.size() - at; }

// Little-endian; the caller has checked that the bytes are there.
uint64_t Get(std::string_view b, uint64_t at, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[static_cast<size_t>(at) + static_cast<size_t>(i)]);
    return v;
}

void Put(std::string& s, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutAt(std::string& s, size_t at, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

[[noreturn]] void TooLarge() { Bad("Archiv nicht schreibbar: größer als 4 GiB oder mehr als 65534 Teile"); }

struct End {
    uint64_t count = 0, cdSize = 0, cdOffset = 0;
};

// The end of central directory record: the last signature in the final 64 KiB
// (the most a comment can take) whose comment fits the file; its zip64 record
// when a locator stands right before it.
End ReadEnd(std::string_view b, uint64_t maxEntries) {
    if (b.size() < kEndSize) Bad("kein Zip-Archiv");
    const uint64_t last = b.size() - kEndSize;
    const uint64_t first = last > k16 ? last - k16 : 0;
    uint64_t at = last + 1;
    bool found = false;
    while (!found && at-- > first) found = Get(b, at, 4) == kEndSig && Get(b, at + 20, 2) <= b.size() - kEndSize - at;
    if (!found) Bad("Verzeichnisende fehlt");
    uint64_t disk = Get(b, at + 4, 2), cdDisk = Get(b, at + 6, 2), onDisk = Get(b, at + 8, 2);
    End e{Get(b, at + 10, 2), Get(b, at + 12, 4), Get(b, at + 16, 4)};
    uint64_t limit = at;
    if (at >= kLocatorSize && Get(b, at - kLocatorSize, 4) == kZip64LocatorSig) {
        const uint64_t loc = at - kLocatorSize;
        const uint64_t z = Get(b, loc + 8, 8);
        if (Get(b, loc + 4, 4) != 0 || Get(b, loc + 16, 4) > 1) Bad("mehrteiliges Archiv");
        if (z > loc || loc - z < kZip64EndSize || Get(b, z, 4) != kZip64EndSig) Bad("Zip64-Verzeichnisende fehlt");
        disk = Get(b, z + 16, 4);
        cdDisk = Get(b, z + 20, 4);
        onDisk = Get(b, z + 24, 8);
        e = End{Get(b, z + 32, 8), Get(b, z + 40, 8), Get(b, z + 48, 8)};
        limit = z;
    }
    if (disk != 0 || cdDisk != 0 || onDisk != e.count) Bad("mehrteiliges Archiv");
    if (e.count > maxEntries) Bad("zu viele Einträge");
    if (e.cdOffset > limit || e.cdSize > limit - e.cdOffset) Bad("Verzeichnis außerhalb der Datei");
    if (e.count > e.cdSize / kCentralSize) Bad("Verzeichnis zu kurz für " + std::to_string(e.count) + " Einträge");
    return e;
}

// Sizes and offset that do not fit 32 bits stand in the zip64 extra field, in
// this order, each only when its 32-bit field is all ones.
void ReadZip64Extra(std::string_view extra, uint64_t extraAt, Record& r, uint64_t& diskStart) {
    const bool needSize = r.size == k32, needComp = r.compressed == k32, needLocal = r.local == k32;
    const bool needDisk = diskStart == k16;
    bool found = false;
    for (uint64_t p = 0; extra.size() - p >= 4;) {
        const uint64_t id = Get(extra, p, 2), len = Get(extra, p + 2, 2);
        if (len > extra.size() - p - 4) break;   // padding or junk after the last field
        if (id == kZip64Extra && !found) {
            found = true;
            uint64_t q = p + 4;
            const uint64_t fieldEnd = q + len;
            auto take = [&](int n, uint64_t& into) {
                if (fieldEnd - q < static_cast<uint64_t>(n)) Bad("Zip64-Angaben von " + r.name + " unvollständig");
                into = Get(extra, q, n);
                q += static_cast<uint64_t>(n);
            };
            if (needSize) take(8, r.size);
            if (needComp) take(8, r.compressed);
            if (needLocal) {
                r.offsetAt = static_cast<uint32_t>(extraAt + q);
                r.offsetWidth = 8;
                take(8, r.local);
            }
            if (needDisk) take(4, diskStart);
        }
        p += 4 + len;
    }
    if (!found && (needSize || needComp || needLocal || needDisk)) Bad("Zip64-Angaben von " + r.name + " fehlen");
}

// How long the data descriptor after an entry's data is: with or without its
// signature, with 32- or 64-bit sizes; the one that repeats the central
// record's values. None: the entry ends with its data.
uint64_t DescriptorSize(std::string_view b, const Record& r, uint64_t limit) {
    const uint64_t at = r.data + r.compressed;
    for (const uint64_t sig : {4, 0})
        for (const int width : {4, 8}) {
            const uint64_t n = sig + 4 + 2 * static_cast<uint64_t>(width);
            if (at > limit || n > limit - at) continue;
            if (sig && Get(b, at, 4) != kDescriptorSig) continue;
            if (Get(b, at + sig, 4) == r.crc && Get(b, at + sig + 4, width) == r.compressed &&
                Get(b, at + sig + 4 + static_cast<uint64_t>(width), width) == r.size)
                return n;
        }
    return 0;
}

Record ReadCentral(std::string_view b, uint64_t& p, uint64_t cdEnd, uint64_t index) {
    const std::string which = "Eintrag " + std::to_string(index) + " unlesbar";
    if (cdEnd - p < kCentralSize || Get(b, p, 4) != kCentralSig) Bad(which);
    const uint64_t nameLen = Get(b, p + 28, 2), extraLen = Get(b, p + 30, 2), commentLen = Get(b, p + 32, 2);
    Record r;
    r.central = p;
    r.centralSize = kCentralSize + nameLen + extraLen + commentLen;
    if (r.centralSize > cdEnd - p) Bad(which);
    r.flags = static_cast<uint16_t>(Get(b, p + 8, 2));
    r.method = static_cast<uint16_t>(Get(b, p + 10, 2));
    r.crc = static_cast<uint32_t>(Get(b, p + 16, 4));
    r.compressed = Get(b, p + 20, 4);
    r.size = Get(b, p + 24, 4);
    r.local = Get(b, p + 42, 4);
    r.offsetAt = 42;
    r.name = std::string(b.substr(p + kCentralSize, nameLen));
    uint64_t diskStart = Get(b, p + 34, 2);
    ReadZip64Extra(b.substr(p + kCentralSize + nameLen, extraLen), kCentralSize + nameLen, r, diskStart);
    if (diskStart != 0) Bad("mehrteiliges Archiv");
    p += r.centralSize;
    return r;
}

// The local header must be where the central record says, and its data (and
// descriptor) before the central directory.
void ReadLocal(std::string_view b, Record& r, uint64_t cdOffset) {
    const std::string_view before = b.substr(0, cdOffset);
    if (!Fits(before, r.local, kLocalSize) || Get(b, r.local, 4) != kLocalSig) Bad("Kopf von " + r.name + " fehlt");
    const uint64_t nameLen = Get(b, r.local + 26, 2);
    r.data = r.local + kLocalSize + nameLen + Get(b, r.local + 28, 2);
    if (!Fits(before, r.data, r.compressed)) Bad("Daten von " + r.name + " außerhalb der Datei");
    // What the local header repeats must agree, or a reader that goes by it
    // would see another archive than this one.
    const uint64_t localFlags = Get(b, r.local + 6, 2);
    const uint64_t comp = Get(b, r.local + 18, 4), size = Get(b, r.local + 22, 4);
    const bool sizesLater = (localFlags & kHasDescriptor) != 0;
    if (b.substr(r.local + kLocalSize, nameLen) != r.name || Get(b, r.local + 8, 2) != r.method ||
        (!sizesLater && (Get(b, r.local + 14, 4) != r.crc || (comp != k32 && comp != r.compressed) ||
                         (size != k32 && size != r.size))))
        Bad("Kopf von " + r.name + " passt nicht zum Verzeichnis");
    r.end = r.data + r.compressed;
    if (sizesLater) r.end += DescriptorSize(b, r, cdOffset);
}

// Entries that share bytes are how small files inflate to gigabytes; an
// honest writer never produces them.
void RefuseOverlaps(const std::vector<Record>& rs) {
    std::vector<size_t> order(rs.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rs[a].local < rs[b].local; });
    for (size_t i = 1; i < order.size(); ++i) {
        const Record& a = rs[order[i - 1]];
        const Record& b = rs[order[i]];
        if (b.local < a.end) Bad("Einträge überlappen: " + a.name + " und " + b.name);
    }
}

bool Ascii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::vector<Record> ReadDirectory(std::string_view b, uint64_t maxEntries) {
    const End e = ReadEnd(b, maxEntries);
    std::vector<Record> out;
    out.reserve(static_cast<size_t>(e.count));
    uint64_t p = e.cdOffset;
    for (uint64_t i = 0; i < e.count; ++i) {
        Record r = ReadCentral(b, p, e.cdOffset + e.cdSize, i);
        ReadLocal(b, r, e.cdOffset);
        out.push_back(std::move(r));
    }
    RefuseOverlaps(out);
    return out;
}

void Writer::CompressorFree::operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }

Writer::Writer() : deflater_(libdeflate_alloc_compressor(1)) {
    if (!deflater_) throw std::bad_alloc();
}

Writer::~Writer() = default;

uint64_t Writer::LocalOffset() const {
    if (out_.size() >= k32) TooLarge();
    return out_.size();
}

void Writer::AddCopy(std::string_view source, const Record& r) {
    const uint64_t at = LocalOffset();
    out_.append(source.substr(r.local, r.end - r.local));
    std::string rec(source.substr(r.central, r.centralSize));
    PutAt(rec, r.offsetAt, at, r.offsetWidth);
    central_ += rec;
    ++count_;
}

void Writer::AddDeflated(std::string_view name, std::string_view content) {
    const uint64_t at = LocalOffset();
    if (name.size() > k16) Bad("Teilname zu lang: " + std::string(name.substr(0, 64)));
    if (content.size() >= k32) TooLarge();
    const auto crc = static_cast<uint32_t>(libdeflate_crc32(0, content.data(), content.size()));
    const uint16_t flags = Ascii(name) ? 0 : kUtf8Name;
    // Both headers share the fields from "version needed" to the lengths.
    std::string common;
    Put(common, kVersion, 2);
    Put(common, flags, 2);
    Put(common, kDeflated, 2);
    Put(common, 0, 2);   // time 00:00
    Put(common, kFixedDosDate, 2);
    Put(common, crc, 4);
    Put(common, 0, 4);   // compressed size, known after deflating
    Put(common, content.size(), 4);
    Put(common, name.size(), 2);
    Put(common, 0, 2);   // no extra field
    Put(out_, kLocalSig, 4);
    out_ += common;
    out_ += name;
    const size_t dataAt = out_.size();
    // XML deflates to a fraction of its size, so a quarter of it is room
    // enough and spares a buffer as large as the part; what deflates worse is
    // tried again with the bound.
    size_t n = 0;
    for (const size_t room : {content.size() / 4 + 4096, libdeflate_deflate_compress_bound(deflater_.get(), content.size())}) {
        out_.resize(dataAt + room);
        n = libdeflate_deflate_compress(deflater_.get(), content.data(), content.size(), out_.data() + dataAt, room);
        if (n != 0) break;
    }
    if (n == 0) Bad("Teil nicht schreibbar: " + std::string(name));
    out_.resize(dataAt + n);
    if (n >= k32) TooLarge();
    PutAt(out_, static_cast<size_t>(at) + 18, n, 4);
    PutAt(common, 14, n, 4);

    Put(central_, kCentralSig, 4);
    Put(central_, kMadeBy, 2);
    central_ += common;
    Put(central_, 0, 2);   // comment length
    Put(central_, 0, 2);   // disk
    Put(central_, 0, 2);   // internal attributes
    Put(central_, kFileMode, 4);
    Put(central_, at, 4);
    central_ += name;
    ++count_;
}

std::string Writer::Finish() {
    const uint64_t cdAt = LocalOffset();
    const uint64_t cdSize = central_.size();
    if (count_ >= k16 || cdSize >= k32 - cdAt) TooLarge();
    Put(central_, kEndSig, 4);
    Put(central_, 0, 4);   // this disk, the directory's disk
    Put(central_, count_, 2);
    Put(central_, count_, 2);
    Put(central_, cdSize, 4);
    Put(central_, cdAt, 4);
    Put(central_, 0, 2);   // comment length
    out_ += central_;
    central_.clear();
    count_ = 0;
    return std::move(out_);
}

}  // namespace zip
}  // namespace kado::word::pkg
