#include "platform/word/package.h"

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <fstream>
#include <new>

#include "platform/word/error.h"

namespace kado::word::pkg {
namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct SourceFree {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;
using ZipFilePtr = std::unique_ptr<zip_file_t, FileCloser>;
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

[[noreturn]] void Bad(const std::string& what) { com::Raise(err::BadPackage, "Das Dokument ist beschädigt: " + what); }

constexpr std::string_view kContentTypes = "[Content_Types].xml";
constexpr zip_uint16_t kFixedDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

bool SafeName(std::string_view n) {
    if (n.empty() || n.front() == '/' || n.front() == '\\' || n.find('\\') != std::string_view::npos) return false;
    if (n.find('\0') != std::string_view::npos || n.find(':') != std::string_view::npos) return false;
    size_t start = 0;
    while (start <= n.size()) {
        const size_t end = std::min(n.find('/', start), n.size());
        const auto seg = n.substr(start, end - start);
        if (seg == ".." || seg == ".") return false;
        if (seg.empty() && end != n.size()) return false;   // "a//b"
        start = end + 1;
    }
    return true;
}

// Opens zip bytes read-only (no copy; the caller keeps the bytes alive).
ZipPtr OpenZip(std::string_view bytes) {
    zip_error_t ze;
    zip_error_init(&ze);
    SourcePtr src(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze));
    if (!src) {
        zip_error_fini(&ze);
        Bad("Puffer nicht lesbar");
    }
    zip_t* z = zip_open_from_source(src.get(), ZIP_CHECKCONS | ZIP_RDONLY, &ze);
    if (!z) {
        const std::string msg = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        Bad(msg);
    }
    zip_error_fini(&ze);
    (void)src.release();   // the archive owns the source now
    return ZipPtr(z);
}

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// A written part deflated before it goes in: libzip takes data whose stat says
// "deflated, this CRC, this size" as it is, so it neither compresses nor sums it.
struct Deflated {
    std::string bytes;
    uint64_t size = 0;
    uint32_t crc = 0;
    size_t pos = 0;
    zip_error_t error;
};

zip_int64_t DeflatedSource(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    auto* d = static_cast<Deflated*>(state);
    switch (cmd) {
        case ZIP_SOURCE_OPEN: d->pos = 0; return 0;
        case ZIP_SOURCE_READ: {
            const size_t n = std::min<size_t>(static_cast<size_t>(len), d->bytes.size() - d->pos);
            std::copy_n(d->bytes.data() + d->pos, n, static_cast<char*>(data));
            d->pos += n;
            return static_cast<zip_int64_t>(n);
        }
        case ZIP_SOURCE_CLOSE: return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &d->error);
            if (!st) return -1;
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_ENCRYPTION_METHOD;
            st->size = d->size;
            st->comp_size = d->bytes.size();
            st->comp_method = ZIP_CM_DEFLATE;
            st->crc = d->crc;
            st->encryption_method = ZIP_EM_NONE;
            return sizeof(*st);
        }
        case ZIP_SOURCE_ERROR: return zip_error_to_data(&d->error, data, len);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&d->error);
            delete d;
            return 0;
        case ZIP_SOURCE_SUPPORTS: return ZIP_SOURCE_SUPPORTS_READABLE;
        default: zip_error_set(&d->error, ZIP_ER_OPNOTSUPP, 0); return -1;
    }
}

// Deflates at the fastest level: a long invoice saves in a fraction of the
// time for a file somewhat larger (still small).
zip_source_t* DeflatedPart(zip_t* z, std::string_view content, libdeflate_compressor* c) {
    auto d = std::make_unique<Deflated>();
    d->size = content.size();
    d->crc = libdeflate_crc32(0, content.data(), content.size());
    // XML deflates to a fraction of its size, so a buffer of a quarter holds
    // it, instead of one as large as the part beside it; what deflates worse
    // is tried again with the bound.
    size_t n = 0;
    for (const size_t room : {content.size() / 4 + 4096, libdeflate_deflate_compress_bound(c, content.size())}) {
        d->bytes.resize(room);
        n = libdeflate_deflate_compress(c, content.data(), content.size(), d->bytes.data(), d->bytes.size());
        if (n != 0) break;
    }
    if (n == 0) return nullptr;
    d->bytes.resize(n);
    d->bytes.shrink_to_fit();
    zip_error_init(&d->error);
    zip_source_t* s = zip_source_function(z, DeflatedSource, d.get());
    if (!s) {
        zip_error_fini(&d->error);
        return nullptr;
    }
    (void)d.release();   // the source frees it
    return s;
}

}  // namespace

Package Package::FromBytes(std::string_view zipBytes, const Limits& limits) {
    if (zipBytes.empty()) Bad("leere Datei");
    Package p;
    p.limits_ = limits;
    p.source_ = std::make_shared<const std::string>(zipBytes);
    ZipPtr z = OpenZip(*p.source_);
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    if (n < 0 || static_cast<uint64_t>(n) > limits.maxEntries) Bad("zu viele Einträge");
    uint64_t total = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
            Bad("Eintrag " + std::to_string(i) + " unlesbar");
        std::string name = st.name;
        if (!name.empty() && name.back() == '/') continue;   // directory entries carry no part
        if (!SafeName(name)) com::Raise(err::BadName, "Unzulässiger Teilname im Dokument: " + name);
        if (p.Find(name)) Bad("Teil doppelt vorhanden: " + name);
        // Parts that cannot be read could not be copied on save either.
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            Bad("Teil verschlüsselt: " + name);
        if (st.size > limits.maxPartBytes) Bad("Teil zu groß: " + name);
        total += st.size;
        if (total > limits.maxTotalBytes) Bad("Inhalt insgesamt zu groß");
        if (st.size > limits.ratioFloor &&
            static_cast<double>(st.size) > limits.maxRatio * static_cast<double>(std::max<uint64_t>(st.comp_size, 1)))
            Bad("verdächtig hohe Kompression: " + name);
        Entry e;
        e.name = std::move(name);
        e.original = true;
        e.index = static_cast<uint64_t>(i);
        e.method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : ZIP_CM_DEFLATE;
        e.compressed = st.comp_size;
        e.size = st.size;
        e.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
        p.entries_.push_back(std::move(e));
    }
    return p;
}

Package Package::Empty() { return Package(); }

const Package::Entry* Package::Find(std::string_view name) const {
    for (const auto& e : entries_)
        if (e.name == name) return &e;
    return nullptr;
}

bool Package::Has(std::string_view name) const { return Find(name) != nullptr; }

std::string Package::Read(std::string_view name) const {
    const Entry* e = Find(name);
    if (!e) Bad("Teil fehlt: " + std::string(name));
    if (e->written) return e->content;
    ZipPtr z = OpenZip(*source_);
    if (e->method == ZIP_CM_DEFLATE || e->method == ZIP_CM_STORE) return ReadWhole(*e, z.get());
    ZipFilePtr f(zip_fopen_index(z.get(), e->index, 0));
    if (!f) Bad("Teil nicht lesbar: " + e->name + " (" + zip_strerror(z.get()) + ")");
    // The header sizes were checked, but they can lie: bound the inflation itself.
    std::string out;
    char buf[64 * 1024];
    const double ratioLimit = limits_.maxRatio * static_cast<double>(std::max<uint64_t>(e->compressed, 1));
    for (;;) {
        const zip_int64_t got = zip_fread(f.get(), buf, sizeof buf);
        if (got < 0) Bad("Teil nicht lesbar: " + e->name + " (" + zip_file_strerror(f.get()) + ")");
        if (got == 0) break;
        const uint64_t size = out.size() + static_cast<uint64_t>(got);
        if (size > limits_.maxPartBytes) Bad("Teil zu groß: " + e->name);
        if (inflated_ + static_cast<uint64_t>(got) > limits_.maxTotalBytes) Bad("Inhalt insgesamt zu groß");
        if (size > limits_.ratioFloor && static_cast<double>(size) > ratioLimit) Bad("verdächtig hohe Kompression: " + e->name);
        inflated_ += static_cast<uint64_t>(got);
        out.append(buf, static_cast<size_t>(got));
    }
    return out;
}

// Stored and deflated parts in one piece: the stored bytes taken raw and
// inflated into a buffer of the size the headers give (checked against the
// limits on opening), so a header that lies fails instead of growing the
// buffer; the CRC is checked as the stream reader would.
std::string Package::ReadWhole(const Entry& e, zip_t* z) const {
    if (inflated_ + e.size > limits_.maxTotalBytes) Bad("Inhalt insgesamt zu groß");
    std::string packed(e.compressed, '\0');
    ZipFilePtr f(zip_fopen_index(z, e.index, ZIP_FL_COMPRESSED));
    if (!f) Bad("Teil nicht lesbar: " + e.name + " (" + zip_strerror(z) + ")");
    if (e.compressed > 0 && zip_fread(f.get(), packed.data(), packed.size()) != static_cast<zip_int64_t>(packed.size()))
        Bad("Teil nicht lesbar: " + e.name);
    std::string out;
    if (e.method == ZIP_CM_STORE) {
        if (e.size != e.compressed) Bad("Teil nicht lesbar: " + e.name);
        out = std::move(packed);
    } else {
        out.resize(e.size);
        static thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
        if (!d) throw std::bad_alloc();
        size_t got = 0;
        if (libdeflate_deflate_decompress(d.get(), packed.data(), packed.size(), out.data(), out.size(), &got) !=
                LIBDEFLATE_SUCCESS ||
            got != out.size())
            Bad("Teil nicht lesbar: " + e.name + " (Daten passen nicht zur Größe)");
    }
    if (libdeflate_crc32(0, out.data(), out.size()) != e.crc) Bad("Teil nicht lesbar: " + e.name + " (CRC-Fehler)");
    inflated_ += out.size();
    return out;
}

void Package::Write(std::string_view name, std::string content) {
    if (!SafeName(name) || (!name.empty() && name.back() == '/'))
        com::Raise(err::BadName, "Unzulässiger Teilname: " + std::string(name));
    for (auto& e : entries_)
        if (e.name == name) {
            e.written = true;
            e.content = std::move(content);
            return;
        }
    Entry e;
    e.name = std::string(name);
    e.written = true;
    e.content = std::move(content);
    entries_.push_back(std::move(e));
}

void Package::Remove(std::string_view name) {
    std::erase_if(entries_, [&](const Entry& e) { return e.name == name; });
}

std::vector<std::string> Package::Names() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_) out.push_back(e.name);
    return out;
}

std::string Package::ToBytes() const {
    // Declared first so it outlives every source the new archive borrows from it.
    ZipPtr src;
    if (source_) src = OpenZip(*source_);
    zip_error_t ze;
    zip_error_init(&ze);
    // An empty buffer source with ZIP_TRUNCATE: the new archive is built from
    // scratch; unchanged parts are taken raw from a second, read-only archive.
    SourcePtr out(zip_source_buffer_create(nullptr, 0, 0, &ze));
    if (!out) {
        zip_error_fini(&ze);
        Bad("Puffer nicht anlegbar");
    }
    zip_source_keep(out.get());
    ZipPtr dst(zip_open_from_source(out.get(), ZIP_TRUNCATE, &ze));
    if (!dst) {
        zip_source_free(out.get());
        const std::string msg = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        Bad(msg);
    }
    zip_error_fini(&ze);
    std::vector<const Entry*> order;
    for (const auto& e : entries_)
        if (e.name == kContentTypes) order.push_back(&e);
    for (const auto& e : entries_)
        if (e.name != kContentTypes) order.push_back(&e);

    std::unique_ptr<libdeflate_compressor, CompressorFree> deflater(libdeflate_alloc_compressor(1));
    if (!deflater) throw std::bad_alloc();
    for (const Entry* e : order) {
        zip_source_t* s = nullptr;
        if (e->written) {
            s = DeflatedPart(dst.get(), e->content, deflater.get());
        } else {
            // ZIP_FL_COMPRESSED keeps the stored bytes as they are.
            s = zip_source_zip(dst.get(), src.get(), e->index, ZIP_FL_COMPRESSED, 0, -1);
        }
        if (!s) Bad(std::string("Teil nicht übernehmbar: ") + e->name + " (" + zip_strerror(dst.get()) + ")");
        const zip_int64_t idx = zip_file_add(dst.get(), e->name.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(s);
            Bad("Teil nicht schreibbar: " + e->name + " (" + zip_strerror(dst.get()) + ")");
        }
        // libzip copies raw data as it is unless asked to deflate stored data,
        // which the default method would do; other methods, and our own
        // deflated parts, stay on the default.
        if (!e->written && e->method == ZIP_CM_STORE &&
            zip_set_file_compression(dst.get(), static_cast<zip_uint64_t>(idx), ZIP_CM_STORE, 0) != 0)
            Bad("Kompression nicht setzbar: " + e->name);
        // A written part carries a fixed date (1980-01-01, as word processors
        // write it), not the clock's: saving the same document twice gives the same bytes.
        if (e->written && zip_file_set_dostime(dst.get(), static_cast<zip_uint64_t>(idx), 0, kFixedDosDate, 0) != 0)
            Bad("Datum nicht setzbar: " + e->name);
    }
    if (zip_close(dst.get()) != 0) Bad(std::string("Archiv nicht schreibbar: ") + zip_strerror(dst.get()));
    (void)dst.release();

    std::string bytes;
    // libzip removes an archive without entries instead of writing one.
    if (order.empty()) return std::string("PK\x05\x06", 4) + std::string(18, '\0');
    if (zip_source_open(out.get()) != 0) Bad(std::string("Archiv nicht lesbar: ") + zip_error_strerror(zip_source_error(out.get())));
    char buf[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_source_read(out.get(), buf, sizeof buf);
        if (got < 0) {
            zip_source_close(out.get());
            Bad("Archiv nicht lesbar");
        }
        if (got == 0) break;
        bytes.append(buf, static_cast<size_t>(got));
    }
    zip_source_close(out.get());
    return bytes;
}

std::string ReadFileBounded(const std::filesystem::path& path, uint64_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) com::Raise(com::err::PathFileAccess, "Datei nicht lesbar: " + path.string());
    std::string out;
    char buf[64 * 1024];
    while (in) {
        in.read(buf, sizeof buf);
        const auto got = static_cast<uint64_t>(in.gcount());
        if (out.size() + got > maxBytes) com::Raise(com::err::PathFileAccess, "Datei zu groß: " + path.string());
        out.append(buf, static_cast<size_t>(got));
    }
    if (in.bad()) com::Raise(com::err::PathFileAccess, "Datei nicht lesbar: " + path.string());
    return out;
}

}  // namespace kado::word::pkg
