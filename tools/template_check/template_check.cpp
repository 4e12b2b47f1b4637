// kado-template-check: confirms one boundary determination into every .docx of
// a folder, as an office would on its own letter, and tells per property what
// of the template came out as it went in.
//
// Usage: kado-template-check KADO_HOST FOLDER...
// Each file gets a "kadoStart" point comment on a new last paragraph, then
// `kado-host run` confirms a fee table into it (and a second run cancels).
// Exit 0 when every accepted file kept everything and got its fee table.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "platform/word/package.h"

namespace fs = std::filesystem;
namespace pkg = kado::word::pkg;
using pugi::xml_node;

namespace {

constexpr unsigned kParse = pugi::parse_default | pugi::parse_ws_pcdata;

std::string_view Local(std::string_view n) {
    const auto c = n.find(':');
    return c == std::string_view::npos ? n : n.substr(c + 1);
}
std::string_view Prefix(std::string_view n) {
    const auto c = n.find(':');
    return c == std::string_view::npos ? std::string_view() : n.substr(0, c);
}
bool Is(xml_node n, std::string_view local) { return n.type() == pugi::node_element && Local(n.name()) == local; }
xml_node Child(xml_node n, std::string_view local) {
    for (auto c : n.children())
        if (Is(c, local)) return c;
    return {};
}
std::string Xml(xml_node n) {
    std::ostringstream o;
    n.print(o, "", pugi::format_raw, pugi::encoding_utf8);
    return o.str();
}
std::string Text(xml_node n) {
    std::string s;
    for (auto d : n.select_nodes(".//*[local-name()='t']")) s += d.node().text().get();
    return s;
}
std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
void WriteAll(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
int Shell(const std::string& cmd) {
    const int rc = std::system(cmd.c_str());
    return rc == -1 ? -1 : WIFEXITED(rc) ? WEXITSTATUS(rc) : 128;
}
std::string Dir(const std::string& part) { return part.substr(0, part.rfind('/') + 1); }

// The parts of a main document a confirmation may rewrite, from its relationships.
struct Parts {
    std::string main = "word/document.xml", rels = "word/_rels/document.xml.rels", comments;
};
Parts FindParts(const pkg::Package& p) {
    Parts parts;
    pugi::xml_document d;
    if (p.Has("_rels/.rels") && d.load_string(p.Read("_rels/.rels").c_str()))
        for (auto r : d.document_element().children())
            if (std::string_view(r.attribute("Type").value()).ends_with("/officeDocument")) {
                std::string t = r.attribute("Target").value();
                parts.main = t.starts_with("/") ? t.substr(1) : t;
            }
    const std::string dir = Dir(parts.main);
    parts.rels = dir + "_rels/" + parts.main.substr(dir.size()) + ".rels";
    pugi::xml_document rels;
    if (p.Has(parts.rels) && rels.load_string(p.Read(parts.rels).c_str()))
        for (auto r : rels.document_element().children())
            if (std::string_view(r.attribute("Type").value()).ends_with("/comments")) {
                std::string t = r.attribute("Target").value();
                parts.comments = t.starts_with("/") ? t.substr(1) : dir + t;
            }
    return parts;
}

// Adds the marker: a point comment "kadoStart" on a new last paragraph.
// Returns the comment's id, or an empty string when the file has no usable body.
std::string AddMarker(pkg::Package& p, const Parts& parts) {
    pugi::xml_document doc;
    const std::string mainXml = p.Read(parts.main);
    if (!doc.load_buffer(mainXml.data(), mainXml.size(), kParse)) return {};
    xml_node body = Child(doc.document_element(), "body");
    if (!body) return {};
    const std::string w = std::string(Prefix(body.name()));
    const std::string pre = w.empty() ? "" : w + ":";
    const std::string ns = doc.document_element().attribute(("xmlns" + (w.empty() ? "" : ":" + w)).c_str()).value();
    pugi::xml_document comments;
    if (!parts.comments.empty() && p.Has(parts.comments)) {
        const std::string cx = p.Read(parts.comments);
        if (!comments.load_buffer(cx.data(), cx.size(), kParse)) return {};
    }
    long id = 0;
    for (auto* d : {&doc, &comments})
        for (auto n : d->select_nodes("//*[@*[local-name()='id']]")) {
            const xml_node e = n.node();
            if (!Local(e.name()).starts_with("comment")) continue;
            for (auto a : e.attributes())
                if (Local(a.name()) == "id") id = std::max(id, std::atol(a.value()) + 1);
        }
    const std::string sid = std::to_string(id);
    xml_node last = body.last_child();
    while (last && last.type() != pugi::node_element) last = last.previous_sibling();
    xml_node para = last && Is(last, "sectPr") ? body.insert_child_before((pre + "p").c_str(), last)
                                               : body.append_child((pre + "p").c_str());
    xml_node ref = para.append_child((pre + "r").c_str()).append_child((pre + "commentReference").c_str());
    ref.append_attribute((pre + "id").c_str()) = sid.c_str();

    xml_node root = comments.document_element();
    const bool fresh = !root;
    if (fresh) {
        root = comments.append_child((pre + "comments").c_str());
        root.append_attribute(("xmlns" + (w.empty() ? "" : ":" + w)).c_str()) = ns.c_str();
    }
    xml_node c = root.append_child((pre + "comment").c_str());
    c.append_attribute((pre + "id").c_str()) = sid.c_str();
    c.append_attribute((pre + "author").c_str()) = "Vorlagenprobe";
    c.append_child((pre + "p").c_str()).append_child((pre + "r").c_str()).append_child((pre + "t").c_str()).text() = "kadoStart";

    std::ostringstream o1, o2;
    doc.save(o1, "", pugi::format_raw, pugi::encoding_utf8);
    comments.save(o2, "", pugi::format_raw, pugi::encoding_utf8);
    p.Write(parts.main, o1.str());
    const std::string cpart = fresh ? Dir(parts.main) + "comments.xml" : parts.comments;
    p.Write(cpart, o2.str());
    if (fresh) {
        pugi::xml_document ct, rels;
        ct.load_string(p.Read("[Content_Types].xml").c_str());
        xml_node o = ct.document_element().append_child("Override");
        o.append_attribute("PartName") = ("/" + cpart).c_str();
        o.append_attribute("ContentType") = "application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml";
        std::ostringstream s;
        ct.save(s, "", pugi::format_raw, pugi::encoding_utf8);
        p.Write("[Content_Types].xml", s.str());
        if (p.Has(parts.rels)) rels.load_string(p.Read(parts.rels).c_str());
        xml_node rr = rels.document_element();
        if (!rr) {
            rr = rels.append_child("Relationships");
            rr.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/relationships";
        }
        xml_node r = rr.append_child("Relationship");
        r.append_attribute("Id") = "rIdKadoProbe";
        r.append_attribute("Type") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
        r.append_attribute("Target") = cpart.substr(Dir(parts.main).size()).c_str();
        std::ostringstream s2;
        rels.save(s2, "", pugi::format_raw, pugi::encoding_utf8);
        p.Write(parts.rels, s2.str());
    }
    return sid;
}

// What each property compares: the XML of these elements (or attributes) in the user's content.
enum Prop { kTitle, kParas, kRuns, kSdt, kTables, kBookmarks, kPerm, kTracked, kNumbering, kSect, kRsid, kUnknown,
            kComments, kParts, kCancel, kProps };
constexpr const char* kHeads[kProps] = {"title(1,1)", "paras", "runs", "sdt", "tables", "bookmarks", "perm",
                                        "tracked", "numbering", "sectPr", "rsid/paraId", "unknown", "comments",
                                        "other parts", "cancel"};
const std::map<Prop, std::set<std::string_view>> kSelect = {
    {kParas, {"p"}}, {kRuns, {"r"}}, {kSdt, {"sdt"}}, {kTables, {"tbl"}},
    {kBookmarks, {"bookmarkStart", "bookmarkEnd"}}, {kPerm, {"permStart", "permEnd"}},
    {kTracked, {"ins", "del", "moveFrom", "moveTo", "pPrChange", "rPrChange", "tblPrChange", "trPrChange",
                "tcPrChange", "sectPrChange", "numberingChange"}},
    {kNumbering, {"numPr"}}, {kSect, {"sectPr"}}};

enum class Verdict { None, Kept, Lost };
struct FileResult {
    std::string name, note;
    bool refused = false;
    Verdict v[kProps] = {};
};

void Collect(xml_node n, const std::string& w, std::map<Prop, std::vector<std::string>>& out) {
    if (n.type() != pugi::node_element) return;
    const std::string_view local = Local(n.name());
    for (const auto& [prop, names] : kSelect)
        if (names.count(local) && Prefix(n.name()) == w) out[prop].push_back(Xml(n));
    if (Prefix(n.name()) != w && Prefix(n.name()) != "") out[kUnknown].push_back(Xml(n));
    for (auto a : n.attributes()) {
        const std::string_view an = Local(a.name());
        if (an.starts_with("rsid") || an == "paraId" || an == "textId")
            out[kRsid].push_back(std::string(n.name()) + "@" + a.name() + "=" + a.value());
    }
    for (auto c : n.children()) Collect(c, w, out);
}

std::vector<xml_node> Elements(xml_node n) {
    std::vector<xml_node> v;
    for (auto c : n.children())
        if (c.type() == pugi::node_element) v.push_back(c);
    return v;
}

bool Balanced(const pugi::xml_document& d, const char* start, const char* end) {
    std::multiset<std::string> open;
    for (auto s : d.select_nodes((std::string("//*[local-name()='") + start + "']").c_str())) {
        const char* id = nullptr;
        for (auto a : s.node().attributes())
            if (Local(a.name()) == "id") id = a.value();
        if (id) open.insert(id);
    }
    for (auto e : d.select_nodes((std::string("//*[local-name()='") + end + "']").c_str()))
        for (auto a : e.node().attributes())
            if (Local(a.name()) == "id") {
                auto it = open.find(a.value());
                if (it == open.end()) return false;
                open.erase(it);
            }
    return open.empty();
}

std::map<std::string, std::string> CommentsById(const pkg::Package& p, const std::string& part, const std::string& skip) {
    std::map<std::string, std::string> m;
    pugi::xml_document d;
    if (part.empty() || !p.Has(part)) return m;
    const std::string x = p.Read(part);
    if (!d.load_buffer(x.data(), x.size(), kParse)) return m;
    for (auto c : d.document_element().children()) {
        if (!Is(c, "comment")) continue;
        std::string id;
        for (auto a : c.attributes())
            if (Local(a.name()) == "id") id = a.value();
        if (id != skip) m[id] = Xml(c);
    }
    return m;
}

struct Run {
    int rc = -1;
    std::string err;
};

Run Confirm(const std::string& host, const fs::path& work, const fs::path& demoDb, const fs::path& doc,
            const fs::path& out, const char* last) {
    fs::copy_file(demoDb, work / "kado.sqlite", fs::copy_options::overwrite_existing);
    const std::string cmd = "timeout 300 " + Quote(host) + " run --db " + Quote((work / "kado.sqlite").string()) +
                            " --doc " + Quote(doc.string()) + (out.empty() ? "" : " --out " + Quote(out.string())) +
                            " --invoice 1 --category 0 --do 'set mskAGPo=12' --do 'set mskAGP=3'"
                            " --do 'set mskBoden=250' --do " + last + " >" + Quote((work / "out").string()) +
                            " 2>" + Quote((work / "err").string());
    Run r;
    r.rc = Shell(cmd);
    r.err = ReadAll(work / "err");
    return r;
}

std::string FirstLine(const std::string& s) {
    std::string l = s.substr(0, s.find('\n'));
    return l.size() > 240 ? l.substr(0, 240) + "…" : l;
}

FileResult Check(const std::string& host, const fs::path& file, const fs::path& work, const fs::path& demoDb) {
    FileResult res;
    res.name = file.filename().string();
    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path in = work / "in.docx", out = work / "out.docx";
    std::string sid;
    Parts parts;
    std::string original = ReadAll(file), marked = original;
    try {
        auto p = pkg::Package::FromBytes(original);
        parts = FindParts(p);
        if (p.Has(parts.main)) sid = AddMarker(p, parts);
        if (!sid.empty()) marked = p.ToBytes();
    } catch (const std::exception&) {
        // Not a package we can mark: kado-host must refuse it.
    }
    WriteAll(in, marked);
    const Run ok = Confirm(host, work, demoDb, in, out, "ok");
    // KADO_TEMPLATE_CHECK_KEEP=DIR keeps each marked template and its confirmation there.
    if (const char* keep = std::getenv("KADO_TEMPLATE_CHECK_KEEP")) {
        fs::create_directories(keep);
        fs::copy_file(in, fs::path(keep) / (file.stem().string() + ".marked.docx"), fs::copy_options::overwrite_existing);
        if (fs::exists(out))
            fs::copy_file(out, fs::path(keep) / (file.stem().string() + ".confirmed.docx"), fs::copy_options::overwrite_existing);
    }
    if (ok.rc != 0) {
        res.refused = true;
        res.note = "exit " + std::to_string(ok.rc) + ": " + FirstLine(ok.err);
        return res;
    }
    for (auto& v : res.v) v = Verdict::Kept;
    if (sid.empty()) {
        res.note = "exit 0 on a file that could not be marked";
        res.v[kTitle] = Verdict::Lost;
        return res;
    }
    auto lost = [&](Prop p, const std::string& why) {
        res.v[p] = Verdict::Lost;
        if (res.note.size() < 300) res.note += (res.note.empty() ? "" : "; ") + why;
    };
    const auto before = pkg::Package::FromBytes(marked);
    const auto after = pkg::Package::FromBytes(ReadAll(out));
    const Parts partsAfter = FindParts(after);
    pugi::xml_document a, b;
    const std::string ax = before.Read(parts.main), bx = after.Has(parts.main) ? after.Read(parts.main) : "";
    a.load_buffer(ax.data(), ax.size(), kParse);
    if (!b.load_buffer(bx.data(), bx.size(), kParse)) {
        for (auto& v : res.v) v = Verdict::Lost;
        res.note = "no readable " + parts.main + " written";
        return res;
    }
    xml_node ab = Child(a.document_element(), "body"), bb = Child(b.document_element(), "body");
    const std::string w = std::string(Prefix(ab.name()));
    const auto ac = Elements(ab), bc = Elements(bb);
    size_t m = 0;
    while (m < ac.size() && !ac[m].find_node([&](xml_node n) {
        return Is(n, "commentReference") && std::string_view(n.first_attribute().value()) == sid;
    }))
        ++m;
    // The template's elements in order in the confirmed body; what is between them was added.
    std::map<Prop, std::vector<std::string>> ua, ub;
    std::vector<xml_node> added;
    std::vector<std::string> bxml(bc.size());
    for (size_t k = 0; k < bc.size(); ++k) bxml[k] = Xml(bc[k]);
    size_t j = 0;
    for (size_t i = 0; i < ac.size(); ++i) {
        if (i == m) continue;
        Collect(ac[i], w, ua);
        const std::string x = Xml(ac[i]);
        size_t k = j;
        while (k < bc.size() && bxml[k] != x) ++k;
        if (k == bc.size()) continue;  // lost or changed: missing from the lists below
        for (; j < k; ++j) added.push_back(bc[j]);
        Collect(bc[k], w, ub);
        j = k + 1;
    }
    for (; j < bc.size(); ++j) added.push_back(bc[j]);
    for (int p = kParas; p <= kUnknown; ++p) {
        const Prop prop = static_cast<Prop>(p);
        if (ua[prop].empty() && ub[prop].empty()) res.v[p] = Verdict::None;
        else if (ua[prop] != ub[prop])
            lost(prop, std::string(kHeads[p]) + " " + std::to_string(ua[prop].size()) + "->" + std::to_string(ub[prop].size()) +
                           (ua[prop].size() == ub[prop].size() ? " changed" : ""));
    }
    // What the confirmation added: a fee table with its title first, no numbering and no tracked change.
    xml_node table;
    for (auto n : added)
        if (Is(n, "tbl")) {
            table = n;
            break;
        }
    const std::string title = table ? Text(Child(Child(table, "tr"), "tc")) : "";
    if (!title.starts_with("Grenzfeststellung")) lost(kTitle, table ? "cell (1,1) holds \"" + title + "\"" : "no fee table written");
    for (auto n : added) {
        std::map<Prop, std::vector<std::string>> extra;
        Collect(n, w, extra);
        if (!extra[kNumbering].empty()) lost(kNumbering, "numbering added");
        if (!extra[kTracked].empty()) lost(kTracked, "tracked change added");
    }
    if (!Balanced(b, "bookmarkStart", "bookmarkEnd")) lost(kBookmarks, "bookmarks unbalanced");
    if (!Balanced(b, "permStart", "permEnd")) lost(kPerm, "permissions unbalanced");
    const auto ca = CommentsById(before, parts.comments.empty() ? Dir(parts.main) + "comments.xml" : parts.comments, sid);
    const auto cb = CommentsById(after, partsAfter.comments, sid);
    if (ca.empty()) res.v[kComments] = Verdict::None;
    for (const auto& [id, x] : ca) {
        auto it = cb.find(id);
        if (it == cb.end() || it->second != x) {
            lost(kComments, "comment " + id + (it == cb.end() ? " gone" : " changed"));
            break;
        }
    }
    const std::set<std::string> rewritable = {parts.main, parts.rels, "[Content_Types].xml",
                                              parts.comments.empty() ? Dir(parts.main) + "comments.xml" : parts.comments};
    for (const auto& n : before.Names()) {
        if (rewritable.count(n)) continue;
        if (!after.Has(n) || after.Read(n) != before.Read(n)) {
            lost(kParts, n + (after.Has(n) ? " changed" : " gone"));
            break;
        }
    }
    const fs::path again = work / "cancel.docx";
    WriteAll(again, marked);
    const Run cancel = Confirm(host, work, demoDb, again, {}, "cancel");
    if (cancel.rc != 0 || ReadAll(again) != marked)
        lost(kCancel, "cancel: exit " + std::to_string(cancel.rc) + (ReadAll(again) != marked ? ", file changed" : ""));
    return res;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "Aufruf: kado-template-check KADO_HOST ORDNER...\n";
        return 2;
    }
    const std::string host = argv[1];
    const fs::path root = fs::temp_directory_path() / ("kado-template-check-" + std::to_string(::getpid()));
    fs::create_directories(root);
    if (Shell(Quote(host) + " init " + Quote((root / "demo").string()) + " >/dev/null") != 0) {
        std::cerr << "kado-template-check: kado-host init failed\n";
        return 2;
    }
    std::vector<fs::path> files;
    for (int i = 2; i < argc; ++i)
        for (const auto& e : fs::directory_iterator(argv[i]))
            if (e.is_regular_file() && e.path().extension() == ".docx") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<FileResult> results;
    for (const auto& f : files) results.push_back(Check(host, f, root / "work", root / "demo" / "kado.sqlite"));
    fs::remove_all(root);

    // One row per file: "ok" kept, "LOST", "-" when the template has no such thing.
    std::cout << "| file |";
    for (const char* h : kHeads) std::cout << " " << h << " |";
    std::cout << " note |\n|---|";
    for (int i = 0; i < kProps; ++i) std::cout << "---|";
    std::cout << "---|\n";
    int bad = 0, refused = 0;
    int kept[kProps] = {}, have[kProps] = {};
    for (const auto& r : results) {
        std::cout << "| " << r.name << " |";
        if (r.refused) {
            ++refused;
            for (int i = 0; i < kProps; ++i) std::cout << " |";
        } else {
            bool any = false;
            for (int i = 0; i < kProps; ++i) {
                std::cout << (r.v[i] == Verdict::Kept ? " ok |" : r.v[i] == Verdict::Lost ? " LOST |" : " - |");
                if (r.v[i] != Verdict::None) ++have[i];
                if (r.v[i] == Verdict::Kept) ++kept[i];
                any = any || r.v[i] == Verdict::Lost;
            }
            bad += any;
        }
        std::cout << " " << (r.refused ? "refused, " : "") << r.note << " |\n";
    }
    std::cout << "| kept in (of files with it) |";
    for (int i = 0; i < kProps; ++i) std::cout << " " << kept[i] << "/" << have[i] << " |";
    std::cout << " " << results.size() << " files, " << refused << " refused, " << bad << " lost something |\n";
    return bad == 0 ? 0 : 1;
}
