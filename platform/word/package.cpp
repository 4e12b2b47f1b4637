#include "platform/word/package.h"

#include <libdeflate.h>

#include <algorithm>
#include <fstream>
#include <new>

#include "platform/word/error.h"
#include "zip_format.h"

namespace kado::word::pkg {
namespace {

constexpr std::string_view kContentTypes = "[Content_Types].xml";

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

struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

Package Package::FromBytes(std::string_view zipBytes, const Limits& limits) {
    if (zipBytes.empty()) Bad("leere Datei");
    Package p;
    p.limits_ = limits;
    p.source_ = std::make_shared<const std::string>(zipBytes);
    auto records = std::make_shared<const std::vector<zip::Record>>(zip::ReadDirectory(*p.source_, limits.maxEntries));
    uint64_t total = 0;
    for (size_t i = 0; i < records->size(); ++i) {
        const zip::Record& r = (*records)[i];
        const std::string& name = r.name;
        if (!name.empty() && name.back() == '/') continue;   // directory entries carry no part
        if (!SafeName(name)) com::Raise(err::BadName, "Unzulässiger Teilname im Dokument: " + name);
        if (p.Find(name)) Bad("Teil doppelt vorhanden: " + name);
        // Parts that cannot be read could not be copied on save either.
        if (r.Encrypted()) Bad("Teil verschlüsselt: " + name);
        if (r.size > limits.maxPartBytes) Bad("Teil zu groß: " + name);
        total += r.size;
        if (total > limits.maxTotalBytes) Bad("Inhalt insgesamt zu groß");
        if (r.size > limits.ratioFloor &&
            static_cast<double>(r.size) > limits.maxRatio * static_cast<double>(std::max<uint64_t>(r.compressed, 1)))
            Bad("verdächtig hohe Kompression: " + name);
        Entry e;
        e.name = name;
        e.index = i;
        p.entries_.push_back(std::move(e));
    }
    p.records_ = std::move(records);
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
    const zip::Record& r = (*records_)[e->index];
    // Other methods (bzip2 and the like) are copied on save, never unpacked.
    if (r.method != zip::kStored && r.method != zip::kDeflated)
        com::Raise(err::BadPackage, "Das Dokument ist nicht lesbar: Teil " + e->name + " ist mit Verfahren " +
                                        std::to_string(r.method) + " gepackt, das nicht unterstützt wird");
    return ReadWhole(r);
}

// Stored and deflated parts in one piece: the stored bytes taken raw and
// inflated into a buffer of the size the headers give (checked against the
// limits on opening), so a header that lies fails instead of growing the
// buffer; the CRC is checked as a stream reader would.
std::string Package::ReadWhole(const zip::Record& r) const {
    if (inflated_ + r.size > limits_.maxTotalBytes) Bad("Inhalt insgesamt zu groß");
    const std::string_view packed = std::string_view(*source_).substr(r.data, r.compressed);
    std::string out;
    if (r.method == zip::kStored) {
        if (r.size != r.compressed) Bad("Teil nicht lesbar: " + r.name);
        out = std::string(packed);
    } else {
        out.resize(r.size);
        static thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
        if (!d) throw std::bad_alloc();
        size_t got = 0;
        if (libdeflate_deflate_decompress(d.get(), packed.data(), packed.size(), out.data(), out.size(), &got) !=
                LIBDEFLATE_SUCCESS ||
            got != out.size())
            Bad("Teil nicht lesbar: " + r.name + " (Daten passen nicht zur Größe)");
    }
    if (libdeflate_crc32(0, out.data(), out.size()) != r.crc) Bad("Teil nicht lesbar: " + r.name + " (CRC-Fehler)");
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
    std::vector<const Entry*> order;
    for (const auto& e : entries_)
        if (e.name == kContentTypes) order.push_back(&e);
    for (const auto& e : entries_)
        if (e.name != kContentTypes) order.push_back(&e);
    zip::Writer w;
    for (const Entry* e : order) {
        if (e->written)
            w.AddDeflated(e->name, e->content);
        else
            w.AddCopy(*source_, (*records_)[e->index]);
    }
    return w.Finish();
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
