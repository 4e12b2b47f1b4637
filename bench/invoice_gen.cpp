#include "bench/invoice_gen.h"

#include <unistd.h>

#include <stdlib.h>

#include <map>
#include <pugixml.hpp>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "host/batch_run.h"
#include "host/demo.h"
#include "platform/com/atomic_file.h"
#include "platform/com/component_library.h"
#include "platform/word/package.h"

namespace kado::bench {
namespace {

namespace fs = std::filesystem;

host::Action Parsed(const std::string& text) {
    std::string error;
    auto a = host::ParseAction(text, error);
    if (!a) throw std::runtime_error(error);
    return *a;
}

std::string Slurp(const fs::path& p) { return word::pkg::ReadFileBounded(p); }

// Start and end (one past) of the first top-level table that holds a fee marker.
std::pair<size_t, size_t> FeeTable(const std::string& xml, const std::map<std::string, std::string>& texts) {
    for (size_t at = xml.find("<w:tbl>"); at != std::string::npos; at = xml.find("<w:tbl>", at + 1)) {
        const size_t close = xml.find("</w:tbl>", at);
        if (close == std::string::npos) break;
        const size_t end = close + 8;
        static const std::regex ref(R"re(<w:commentReference w:id="(\d+)"/>)re");
        const std::string body = xml.substr(at, end - at);
        for (std::sregex_iterator it(body.begin(), body.end(), ref), none; it != none; ++it) {
            auto t = texts.find((*it)[1].str());
            if (t != texts.end() && t->second.rfind("Honora_", 0) == 0) return {at, end};
        }
    }
    throw std::runtime_error("no fee table in the confirmed invoice");
}

}  // namespace

std::vector<host::Action> DemoJob(int category) {
    return host::DemoJob(fs::path(KADO_SOURCE_DIR) / "host" / "demo_jobs.sh", category);
}

std::vector<host::Action> DemoInputs() { return DemoJob(0); }

void UseBuiltPlugin(const fs::path& configHome) {
    ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    com::CallRegistration(fs::path(KADO_BINARY_DIR) / "lib" / "libhonora.so");
}

std::string ConfirmedDemo(const fs::path& dir) {
    fs::create_directories(dir);
    UseBuiltPlugin(dir / "config");
    // Init refuses to overwrite: nothing of a user's folder is replaced.
    if (host::Init(dir) != 0) throw std::runtime_error("demo data not written in " + dir.string() + " (files there already?)");
    host::RunOptions o;
    o.db = dir / "kado.sqlite";
    o.doc = dir / "Rechnung.docx";
    o.out = dir / "Rechnung-1.docx";
    o.invoice = 1;
    o.actions = DemoInputs();
    o.actions.push_back(Parsed("ok"));
    std::ostringstream out, err;
    if (host::Run(o, out, err) != 0) throw std::runtime_error("demo confirmation failed: " + err.str());
    return Slurp(o.out);
}

std::string WithFeeTables(const std::string& confirmedDocx, int tables) {
    auto p = word::pkg::Package::FromBytes(confirmedDocx);
    std::string doc = p.Read("word/document.xml");
    std::string comments = p.Read("word/comments.xml");

    // Comment id -> whole element and its text.
    static const std::regex element(R"re(<w:comment w:id="(\d+)"[^>]*>.*?</w:comment>)re");
    std::map<std::string, std::string> elements, texts;
    int nextId = 0;
    for (std::sregex_iterator it(comments.begin(), comments.end(), element), none; it != none; ++it) {
        const std::string id = (*it)[1].str();
        elements[id] = (*it)[0].str();
        texts[id] = std::regex_replace(elements[id], std::regex("<[^>]+>"), "");
        nextId = std::max(nextId, std::stoi(id) + 1);
    }
    const auto [start, end] = FeeTable(doc, texts);
    const std::string table = doc.substr(start, end - start) + "<w:p></w:p>";

    static const std::regex idAttr(R"re(w:id="(\d+)")re");
    std::string copies, newComments;
    for (int k = 1; k < tables; ++k) {
        std::map<std::string, int> renumbered;
        std::string copy;
        auto last = table.cbegin();
        for (std::sregex_iterator it(table.begin(), table.end(), idAttr), none; it != none; ++it) {
            const std::string old = (*it)[1].str();
            auto [slot, fresh] = renumbered.emplace(old, nextId);
            if (fresh) {
                ++nextId;
                newComments += std::regex_replace(elements.at(old), std::regex(R"re(w:id="\d+")re"),
                                                  "w:id=\"" + std::to_string(slot->second) + "\"",
                                                  std::regex_constants::format_first_only);
            }
            copy.append(last, (*it)[0].first);
            copy += "w:id=\"" + std::to_string(slot->second) + "\"";
            last = (*it)[0].second;
        }
        copy.append(last, table.cend());
        copies += copy;
    }
    doc.insert(end, copies);
    comments.insert(comments.rfind("</w:comments>"), newComments);
    p.Write("word/document.xml", std::move(doc));
    p.Write("word/comments.xml", std::move(comments));
    return p.ToBytes();
}

void FloorPass(const fs::path& in, const fs::path& out) {
    auto p = word::pkg::Package::FromBytes(word::pkg::ReadFileBounded(in));
    for (const auto& name : p.Names()) {
        std::string part = p.Read(name);
        if (name.ends_with(".xml") || name.ends_with(".rels")) {
            pugi::xml_document d;
            d.load_buffer(part.data(), part.size());
            std::ostringstream o;
            d.save(o, "", pugi::format_raw);
            part = o.str();
        }
        p.Write(name, std::move(part));
    }
    com::WriteFileAtomically(out, p.ToBytes());
}

// The process id in the name keeps two benchmark runs at once (another
// checkout's, or a smoke test beside a timed run) out of each other's files.
Invoices::Invoices(const std::string& folderName)
    : dir_(fs::temp_directory_path() / (folderName + "-" + std::to_string(::getpid()))) {
    fs::remove_all(dir_);
}

Invoices::~Invoices() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

const fs::path& Invoices::With(int tables) {
    if (auto it = files_.find(tables); it != files_.end()) return it->second;
    if (confirmed_.empty()) confirmed_ = ConfirmedDemo(dir_);
    const fs::path p = dir_ / ("Rechnung-" + std::to_string(tables) + "-Tabellen.docx");
    com::WriteFileAtomically(p, WithFeeTables(confirmed_, tables));
    return files_[tables] = p;
}

}  // namespace kado::bench
