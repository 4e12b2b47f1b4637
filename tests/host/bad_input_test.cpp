// Every way a user or a damaged file can feed the host's batch run: a clear
// message, the documented exit code, and the input document and database
// left byte for byte as they were.
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/batch_run.h"
#include "host/demo.h"
#include "platform/dao/dao.h"
#include "support/host_home.h"
#include "support/file_bytes.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// The demo invoice rewritten: document.xml changed by `edit`, plus extra entries.
void Rezip(const fs::path& from, const fs::path& to, const std::function<std::string(std::string)>& edit,
           const std::vector<std::pair<std::string, std::string>>& extra = {}) {
    int error = 0;
    zip_t* in = zip_open(from.c_str(), ZIP_RDONLY, &error);
    zip_t* out = zip_open(to.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_TRUE(in && out);
    std::vector<std::pair<std::string, std::string>> entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(in, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(in, static_cast<zip_uint64_t>(i), 0, &st);
        std::string data(st.size, '\0');
        zip_file_t* f = zip_fopen_index(in, static_cast<zip_uint64_t>(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        if (std::string(st.name) == "word/document.xml") data = edit(data);
        entries.emplace_back(st.name, std::move(data));
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    for (const auto& [name, data] : entries) {
        zip_source_t* src = zip_source_buffer(out, data.data(), data.size(), 0);
        ASSERT_GE(zip_file_add(out, name.c_str(), src, ZIP_FL_OVERWRITE), 0) << name;
    }
    ASSERT_EQ(zip_close(out), 0);  // reads the buffers, so `entries` must live until here
    zip_discard(in);
}

struct Case {
    const char* name;
    std::function<void(RunOptions&, const fs::path& demo)> prepare;
    int exit;
    std::string message;
};

class BadInput : public ::testing::Test {
protected:
    void SetUp() override { kado::testing::HostHome(dir_); }
    kado::testing::TempDir tmp_{"kado-bad-input"};
    const fs::path dir_ = tmp_.Path();
};

TEST_F(BadInput, EachIsNamedRefusedAndLeavesTheFilesAsTheyWere) {
    const auto withDoc = [](std::function<void(const fs::path& doc, const fs::path& demo)> make) {
        return [make](RunOptions& o, const fs::path& demo) { make(o.doc, demo); };
    };
    const auto sql = [](const char* statement) {
        return [statement](RunOptions& o, const fs::path&) { dao::Workspace().OpenDatabase(o.db.string())->Execute(statement); };
    };
    const std::vector<Case> cases = {
        {"empty document", withDoc([](const fs::path& d, const fs::path&) { Write(d, ""); }), 2, "leere Datei"},
        {"truncated document", withDoc([](const fs::path& d, const fs::path&) { Write(d, kado::testing::FileBytes(d).substr(0, 1500)); }), 2,
         "Dokument lässt sich nicht lesen"},
        {"no zip at all", withDoc([](const fs::path& d, const fs::path&) { Write(d, "Rechnung\n"); }), 2,
         "Dokument lässt sich nicht lesen"},
        {"damaged XML", withDoc([](const fs::path& d, const fs::path& demo) {
             Rezip(demo / "Rechnung.docx", d, [](std::string x) { return x.substr(0, x.size() / 2); });
         }), 2, "kein gültiges XML"},
        {"DOCTYPE with entities", withDoc([](const fs::path& d, const fs::path& demo) {
             Rezip(demo / "Rechnung.docx", d, [](std::string x) {
                 return x.insert(x.find("?>") + 2, "<!DOCTYPE w [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]>");
             });
         }), 2, "DOCTYPE"},
        {"part name leaving the package", withDoc([](const fs::path& d, const fs::path& demo) {
             Rezip(demo / "Rechnung.docx", d, [](std::string x) { return x; }, {{"../../evil.txt", "x"}});
         }), 2, "Unzulässiger Teilname"},
        {"zip bomb", withDoc([](const fs::path& d, const fs::path& demo) {
             Rezip(demo / "Rechnung.docx", d, [](std::string x) { return x + std::string(300u << 20, ' '); });
         }), 2, "zu groß"},
        {"missing document", [](RunOptions& o, const fs::path&) { o.doc = o.doc.parent_path() / "fehlt.docx"; }, 2,
         "Dokument nicht gefunden"},
        {"missing database", [](RunOptions& o, const fs::path&) { o.db = o.db.parent_path() / "fehlt.sqlite"; }, 2,
         "Datenbankdatei nicht gefunden"},
        {"database that is no database", [](RunOptions& o, const fs::path&) { Write(o.db, std::string(4096, 'x')); }, 2,
         "Datenbank lässt sich nicht öffnen"},
        {"foreign database", [](RunOptions& o, const fs::path&) {
             fs::remove(o.db);
             dao::Workspace().CreateDatabase(o.db.string())->Execute("CREATE TABLE Kunde (ID INTEGER)");
         }, 2, "keine vollständige Host-Datenbank"},
        {"database without its Version table", sql("DROP TABLE Version"), 2, "(es fehlt: Version)"},
        {"unknown invoice", [](RunOptions& o, const fs::path&) { o.invoice = 99; }, 2, "Rechnung 99 nicht gefunden"},
        {"unknown user", [](RunOptions& o, const fs::path&) { o.user = 99; }, 2, "Benutzer 99 hat keine Rechnungseinstellungen"},
        {"oversized typed text", [](RunOptions& o, const fs::path&) {
             o.strict = true;
             o.actions.insert(o.actions.begin(), Action{Action::Kind::Set, "mskAGPo", std::string(100000, '7'), 0});
         }, 2, "\"777777777777777777777777… (99996 Zeichen)\" am Feldende abgeschnitten"},
        {"unknown control", [](RunOptions& o, const fs::path&) {
             o.actions.insert(o.actions.begin(), Action{Action::Kind::Set, "mskGibtsNicht", "1", 0});
         }, 1, "set mskGibtsNicht=1: Fehler 730"},
        {"output folder missing", [](RunOptions& o, const fs::path&) { o.out = o.doc.parent_path() / "fehlt" / "x.docx"; },
         2, "Zielordner nicht gefunden"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path demo = dir_ / std::to_string(++n);
        ASSERT_EQ(kado::testing::QuietInit(demo), 0);
        RunOptions o;
        o.db = demo / "kado.sqlite";
        o.doc = demo / "Eingang.docx";
        fs::copy_file(demo / "Rechnung.docx", o.doc);
        o.invoice = 1;
        o.actions = {Action{Action::Kind::Set, "mskAGP", "3", 0}, Action{Action::Kind::Ok, "", "", 0}};
        c.prepare(o, demo);
        const std::string doc = kado::testing::FileBytes(o.doc), db = kado::testing::FileBytes(o.db);
        std::ostringstream out, err;
        EXPECT_EQ(kado::host::Run(o, out, err), c.exit) << err.str();
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_LT(err.str().size(), 600u) << "an input floods the message";
        EXPECT_EQ(kado::testing::FileBytes(o.doc), doc);
        EXPECT_EQ(kado::testing::FileBytes(o.db), db);
    }
}

}  // namespace
}  // namespace kado::host
