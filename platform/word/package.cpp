#include "platform/word/package.h"

#include <zip.h>

#include <algorithm>
#include <fstream>

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

    for (const Entry* e : order) {
        zip_source_t* s = nullptr;
        if (e->written) {
            s = zip_source_buffer(dst.get(), e->content.data(), e->content.size(), 0);
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
        // which the default method would do; other methods stay on the default.
        // Parts we write deflate at the fastest level: a long invoice saves in a
        // third of the time for a file about twice as large (still small).
        const bool set = e->written || e->method == ZIP_CM_STORE;
        const zip_int32_t method = e->written ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
        const zip_uint32_t level = e->written ? 1 : 0;
        if (set && zip_set_file_compression(dst.get(), static_cast<zip_uint64_t>(idx), method, level) != 0)
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
