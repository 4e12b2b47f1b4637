#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

#include "platform/com/atomic_file.h"
#include "platform/com/error.h"
#include "platform/word/package.h"
#include "platform/word/word.h"
#include "xml_safe.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace kado::word::pkg;
using kado::com::Error;

namespace {

// Central-directory record of one entry, read straight from the zip bytes.
struct RawEntry {
    uint16_t method;
    uint32_t crc, comp, size;
    std::string name, data;   // data: the compressed bytes
};
uint32_t Le(const std::string& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + static_cast<size_t>(i)));
    return v;
}
std::vector<RawEntry> RawEntries(const std::string& zip) {
    std::vector<RawEntry> out;
    size_t eocd = zip.rfind(std::string("PK\x05\x06", 4));
    size_t p = Le(zip, eocd + 16, 4);
    const uint32_t n = Le(zip, eocd + 10, 2);
    for (uint32_t i = 0; i < n; ++i) {
        RawEntry e{static_cast<uint16_t>(Le(zip, p + 10, 2)), Le(zip, p + 16, 4), Le(zip, p + 20, 4),
                   Le(zip, p + 24, 4), zip.substr(p + 46, Le(zip, p + 28, 2)), {}};
        const size_t local = Le(zip, p + 42, 4);
        const size_t dataAt = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
        e.data = zip.substr(dataAt, e.comp);
        p += 46 + Le(zip, p + 28, 2) + Le(zip, p + 30, 2) + Le(zip, p + 32, 2);
        out.push_back(e);
    }
    return out;
}

std::string SampleZip() {
    auto p = Package::Empty();
    p.Write("word/document.xml", "<w:document>  text  </w:document>");
    p.Write("[Content_Types].xml", "<Types/>");
    p.Write("_rels/.rels", "<Relationships/>");
    return p.ToBytes();
}

void Put(std::string& s, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Deflated bytes and CRC of `content`, as our writer makes them.
RawEntry Packed(const std::string& content) {
    auto p = Package::Empty();
    p.Write("x", content);
    return RawEntries(p.ToBytes()).at(0);
}

// An entry of an archive built by hand, in layouts our own writer never makes.
struct Item {
    std::string name, content;
    uint16_t method = 8;      // 8: deflated; any other: the content stored under that number
    int descriptor = 0;       // bytes of a data descriptor: 12, 16 (signed) or 24 (signed, 64-bit sizes)
    bool zip64 = false;       // sizes and offset only in zip64 extra fields
    int sharesLocalOf = -1;   // the central record points at that item's local header
    uint32_t claimMore = 0;   // both headers claim this many compressed bytes more than there are
};
struct Built {
    std::string bytes;
    std::vector<std::string> spans;      // per item: local header, data and descriptor
    std::vector<std::string> centrals;   // per item: its central record
};
constexpr uint64_t k32 = 0xFFFFFFFFu;

Built Build(const std::vector<Item>& items, bool zip64End, const std::string& comment = "") {
    Built b;
    std::string cd;
    std::vector<uint64_t> at;
    for (const Item& it : items) {
        const RawEntry packed = Packed(it.content);
        const std::string data = it.method == 8 ? packed.data : it.content;
        const bool late = it.descriptor != 0;
        const uint16_t flags = late ? 8 : 0;
        const uint64_t comp = data.size() + it.claimMore;
        at.push_back(it.sharesLocalOf >= 0 ? at.at(static_cast<size_t>(it.sharesLocalOf)) : b.bytes.size());
        std::string h;
        if (it.sharesLocalOf < 0) {
            Put(h, 0x04034b50, 4); Put(h, it.zip64 ? 45 : 20, 2); Put(h, flags, 2); Put(h, it.method, 2); Put(h, 0, 4);
            Put(h, late ? 0 : packed.crc, 4);
            Put(h, it.zip64 ? k32 : late ? 0 : comp, 4);
            Put(h, it.zip64 ? k32 : late ? 0 : it.content.size(), 4);
            Put(h, it.name.size(), 2); Put(h, it.zip64 ? 20 : 0, 2);
            h += it.name;
            if (it.zip64) { Put(h, 1, 2); Put(h, 16, 2); Put(h, late ? 0 : it.content.size(), 8); Put(h, late ? 0 : comp, 8); }
            h += data;
            if (it.descriptor >= 16) Put(h, 0x08074b50, 4);
            const int width = it.descriptor == 24 ? 8 : 4;
            if (late) { Put(h, packed.crc, 4); Put(h, data.size(), width); Put(h, it.content.size(), width); }
            b.bytes += h;
        }
        b.spans.push_back(h);
        std::string c;
        Put(c, 0x02014b50, 4); Put(c, 20, 2); Put(c, it.zip64 ? 45 : 20, 2); Put(c, flags, 2); Put(c, it.method, 2);
        Put(c, 0, 4); Put(c, packed.crc, 4);
        Put(c, it.zip64 ? k32 : comp, 4); Put(c, it.zip64 ? k32 : it.content.size(), 4);
        Put(c, it.name.size(), 2); Put(c, it.zip64 ? 28 : 0, 2); Put(c, 0, 2); Put(c, 0, 2); Put(c, 0, 2); Put(c, 0, 4);
        Put(c, it.zip64 ? k32 : at.back(), 4);
        c += it.name;
        if (it.zip64) { Put(c, 1, 2); Put(c, 24, 2); Put(c, it.content.size(), 8); Put(c, comp, 8); Put(c, at.back(), 8); }
        b.centrals.push_back(c);
        cd += c;
    }
    const uint64_t cdAt = b.bytes.size(), n = items.size();
    b.bytes += cd;
    if (zip64End) {
        const uint64_t endAt = b.bytes.size();
        Put(b.bytes, 0x06064b50, 4); Put(b.bytes, 44, 8); Put(b.bytes, 45, 2); Put(b.bytes, 45, 2); Put(b.bytes, 0, 8);
        Put(b.bytes, n, 8); Put(b.bytes, n, 8); Put(b.bytes, cd.size(), 8); Put(b.bytes, cdAt, 8);
        Put(b.bytes, 0x07064b50, 4); Put(b.bytes, 0, 4); Put(b.bytes, endAt, 8); Put(b.bytes, 1, 4);
    }
    Put(b.bytes, 0x06054b50, 4); Put(b.bytes, 0, 4);
    Put(b.bytes, zip64End ? 0xFFFF : n, 2); Put(b.bytes, zip64End ? 0xFFFF : n, 2);
    Put(b.bytes, zip64End ? k32 : cd.size(), 4); Put(b.bytes, zip64End ? k32 : cdAt, 4);
    Put(b.bytes, comment.size(), 2);
    b.bytes += comment;
    return b;
}

const std::string kXml = "<w:document><w:p>Zeile</w:p><w:p>Zeile</w:p><w:p>Zeile</w:p></w:document>";

// Opening must refuse `bytes` as a damaged package, naming `what` when given.
void ExpectBadPackage(const std::string& bytes, const std::string& what = "") {
    try {
        (void)Package::FromBytes(bytes);
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), kado::word::err::BadPackage) << e.Description();
        EXPECT_NE(e.Description().find(what), std::string::npos) << e.Description();
    }
}

}  // namespace

TEST(Package, RoundTripKeepsPartsAndPutsContentTypesFirst) {
    const auto p = Package::FromBytes(SampleZip());
    EXPECT_EQ(p.Names(), (std::vector<std::string>{"[Content_Types].xml", "word/document.xml", "_rels/.rels"}));
    EXPECT_EQ(p.Read("word/document.xml"), "<w:document>  text  </w:document>");
    EXPECT_EQ(p.Read("_rels/.rels"), "<Relationships/>");
    EXPECT_THROW((void)p.Read("word/missing.xml"), Error);
    EXPECT_EQ(p.ToBytes(), p.ToBytes());   // repeatable
}

TEST(Package, PackageWithoutPartsWritesAnEmptyZip) {
    auto p = Package::FromBytes(SampleZip());
    for (const auto& n : p.Names()) p.Remove(n);
    for (const auto& bytes : {p.ToBytes(), Package::Empty().ToBytes()})
        EXPECT_TRUE(Package::FromBytes(bytes).Names().empty());
}

TEST(Package, UntouchedStoredEntryIsCopiedRaw) {
    // A stored (method 0) entry built by hand: the writer deflates, so only a
    // raw copy can keep method 0 and the same bytes.
    const std::string body = "<Types>stored, never recompressed</Types>";
    const uint32_t crc = [&] {
        uint32_t c = 0xFFFFFFFFu;
        for (unsigned char ch : body) {
            c ^= ch;
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return ~c;
    }();
    auto le = [](std::string& s, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const std::string name = "[Content_Types].xml";
    std::string zip;
    le(zip, 0x04034b50, 4); le(zip, 20, 2); le(zip, 0, 2); le(zip, 0, 2); le(zip, 0, 2); le(zip, 0, 2);
    le(zip, crc, 4); le(zip, static_cast<uint32_t>(body.size()), 4); le(zip, static_cast<uint32_t>(body.size()), 4);
    le(zip, static_cast<uint32_t>(name.size()), 2); le(zip, 0, 2);
    zip += name + body;
    const auto cd = static_cast<uint32_t>(zip.size());
    le(zip, 0x02014b50, 4); le(zip, 20, 2); le(zip, 20, 2); le(zip, 0, 2); le(zip, 0, 2); le(zip, 0, 2); le(zip, 0, 2);
    le(zip, crc, 4); le(zip, static_cast<uint32_t>(body.size()), 4); le(zip, static_cast<uint32_t>(body.size()), 4);
    le(zip, static_cast<uint32_t>(name.size()), 2); le(zip, 0, 2); le(zip, 0, 2); le(zip, 0, 2); le(zip, 0, 2);
    le(zip, 0, 4); le(zip, 0, 4);
    zip += name;
    const auto cdSize = static_cast<uint32_t>(zip.size()) - cd;
    le(zip, 0x06054b50, 4); le(zip, 0, 2); le(zip, 0, 2); le(zip, 1, 2); le(zip, 1, 2); le(zip, cdSize, 4);
    le(zip, cd, 4); le(zip, 0, 2);

    auto p = Package::FromBytes(zip);
    p.Write("word/document.xml", std::string(5000, 'a'));
    const std::string out = p.ToBytes();
    const auto entries = RawEntries(out);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, name);
    EXPECT_EQ(entries[0].method, 0);
    EXPECT_EQ(entries[0].crc, crc);
    EXPECT_EQ(entries[0].data, body);
    EXPECT_EQ(entries[1].method, 8);   // new parts are deflated
    EXPECT_LT(entries[1].comp, 5000u);
    EXPECT_EQ(Package::FromBytes(out).Read(name), body);
}

TEST(Package, UntouchedDeflatedEntryKeepsItsCompressedBytes) {
    auto p = Package::FromBytes(SampleZip());
    const auto before = RawEntries(SampleZip());
    p.Write("word/document.xml", "<w:document/>");
    p.Write("word/styles.xml", "<w:styles/>");
    p.Remove("_rels/.rels");
    const auto back = Package::FromBytes(p.ToBytes());
    EXPECT_EQ(back.Names(), (std::vector<std::string>{"[Content_Types].xml", "word/document.xml", "word/styles.xml"}));
    EXPECT_EQ(back.Read("word/document.xml"), "<w:document/>");
    EXPECT_EQ(back.Read("word/styles.xml"), "<w:styles/>");
    EXPECT_FALSE(back.Has("_rels/.rels"));
    const auto after = RawEntries(p.ToBytes());
    EXPECT_EQ(after[0].data, before[0].data);
    EXPECT_EQ(after[0].crc, before[0].crc);
}

TEST(Package, MalformedBytesGiveError) {
    const std::string good = SampleZip();
    std::mt19937 rng(7);
    std::string noise(4096, '\0');
    for (auto& c : noise) c = static_cast<char>(rng());
    std::string flipped = good;
    for (size_t i = 30; i < flipped.size(); i += 7) flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    for (const std::string& bytes : {std::string(), noise, good.substr(0, good.size() / 2), good.substr(0, good.size() - 5),
                                     std::string("PK\x05\x06", 4) + std::string(18, '\xff'), flipped}) {
        try {
            const auto p = Package::FromBytes(bytes);
            for (const auto& n : p.Names()) (void)p.Read(n);
            ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), kado::word::err::BadPackage);
        }
    }
}

TEST(Package, EncryptedEntryIsRefusedOnOpen) {
    std::string bytes = SampleZip();
    // Set the "encrypted" bit in every local and central header.
    for (const std::string& sig : {std::string("PK\x03\x04", 4), std::string("PK\x01\x02", 4)}) {
        const size_t flags = sig[2] == '\x03' ? 6 : 8;
        for (size_t at = bytes.find(sig); at != std::string::npos; at = bytes.find(sig, at + 4))
            bytes[at + flags] = static_cast<char>(bytes[at + flags] | 1);
    }
    try {
        (void)Package::FromBytes(bytes);
        ADD_FAILURE() << "encrypted package accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), kado::word::err::BadPackage);
    }
}

TEST(Package, ZipBombIsRefused) {
    auto bomb = Package::Empty();
    bomb.Write("word/document.xml", std::string(100u << 20, '\0'));
    const std::string bytes = bomb.ToBytes();
    EXPECT_LT(bytes.size(), 1u << 20);
    Limits tight;
    tight.maxPartBytes = 8u << 20;
    EXPECT_THROW((void)Package::FromBytes(bytes, tight), Error);
    Limits ratioOnly;   // size allowed, ratio not
    ratioOnly.maxPartBytes = 128u << 20;
    try {
        (void)Package::FromBytes(bytes, ratioOnly).Read("word/document.xml");
        ADD_FAILURE() << "a 1000:1 part of 100 MB was inflated";
    } catch (const Error& e) {
        EXPECT_NE(e.Description().find("Kompression"), std::string::npos) << e.Description();
    }
}

// Long runs of like paragraphs deflate far beyond 200:1; a word processor
// writes such invoices every day.
TEST(Package, HighlyCompressibleDocumentsOfUsualSizeLoad) {
    std::string body;
    for (int i = 0; i < 20000; ++i) body += "<w:p><w:r><w:t>Vermessung des Flurstücks 12/3</w:t></w:r></w:p>";
    // Deflated at the highest level, as word processors do (our own writer uses the fastest).
    const kado::testing::TempDir tmp("kado-ratio");
    const auto& dir = tmp.Path();
    std::filesystem::create_directories(dir / "word");
    std::ofstream(dir / "word/document.xml", std::ios::binary)
        << R"(<?xml version="1.0" encoding="UTF-8"?><w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)"
        << body << "</w:body></w:document>";
    const std::string cmd = "cd '" + dir.string() + "' && zip -q -9 -X doc.docx word/document.xml";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "zip not installed";
    std::ifstream in(dir / "doc.docx", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string xml = Package::FromBytes(bytes).Read("word/document.xml");
    ASSERT_GT(xml.size(), 1u << 20);
    EXPECT_GT(static_cast<double>(xml.size()) / static_cast<double>(bytes.size()), 200.0);
    const std::string text = kado::word::Document::FromBytes(bytes)->Content().Text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 20000);
}

TEST(Package, UnsafeNamesAreRefused) {
    for (const char* name : {"../x", "/abs", "word/../../x", "a\\b", "C:/x", "a//b", ""}) {
        auto p = Package::Empty();
        EXPECT_THROW(p.Write(name, "x"), Error) << name;
    }
}

TEST(XmlSafe, DoctypeAndMalformedXmlAreRefusedNamingThePart) {
    const char* refused[] = {
        "<!DOCTYPE w [<!ENTITY e \"x\">]><w>&e;</w>",
        "<?xml version=\"1.0\"?><!DOCTYPE w SYSTEM \"file:///etc/passwd\"><w/>",
        "<w><unclosed></w>",
        "",
    };
    for (const char* xml : refused) {
        try {
            (void)ParseXmlPart(xml, "word/document.xml");
            ADD_FAILURE() << xml;
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), kado::word::err::BadPackage);
            EXPECT_NE(e.Description().find("word/document.xml"), std::string::npos);
        }
    }
}

TEST(XmlSafe, WhitespaceAndDeclarationSurvive) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:t xml:space="preserve">  </w:t>)";
    const auto doc = ParseXmlPart(xml, "p");
    EXPECT_EQ(std::string(doc.child("w:t").text().get()), "  ");
    EXPECT_EQ(XmlToString(doc), xml);
    EXPECT_EQ(XmlToString(ParseXmlPart("<a><b/></a>", "p")),
              R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><a><b/></a>)");
    EXPECT_NO_THROW((void)ParseXmlPart("<!-- <!DOCTYPE x> --><a/>", "p"));
}

TEST(AtomicWrite, ReplacesOnSuccessAndLeavesOldFileOnFailure) {
    const kado::testing::TempDir tmp("kado-pkg");
    const fs::path& dir = tmp.Path();
    const fs::path target = dir / "a.docx";
    kado::com::WriteFileAtomically(target, "old");
    kado::com::WriteFileAtomically(target, "new");
    EXPECT_EQ(ReadFileBounded(target), "new");
    EXPECT_THROW(ReadFileBounded(target, 2), Error);
    EXPECT_THROW(ReadFileBounded(dir / "none"), Error);

    const auto doc = kado::word::Document::New();
    EXPECT_THROW(doc->SaveAs(dir / "no_such_dir" / "b.docx"), Error);
    fs::create_directory(dir / "sub");
    fs::create_directory(dir / "sub" / "inner");   // a non-empty directory cannot be replaced
    EXPECT_THROW(doc->SaveAs(dir / "sub"), Error);
    EXPECT_EQ(ReadFileBounded(target), "new");
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"a.docx", "sub"}));
}

// A save stamped with the clock would differ from the one before it by its dates alone.
TEST(Package, WrittenPartsCarryAFixedDateSoThatSavesRepeatByteForByte) {
    auto p = Package::Empty();
    p.Write("word/document.xml", "<w:document/>");
    p.Write("word/comments.xml", "<w:comments/>");
    const std::string bytes = p.ToBytes();
    auto u16 = [&](size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8); };
    int headers = 0;
    // Local headers keep time and date at 10 and 12, central ones at 12 and 14.
    for (const auto& [sig, time] : {std::pair{std::string("PK\x03\x04", 4), size_t{10}}, std::pair{std::string("PK\x01\x02", 4), size_t{12}}})
        for (size_t at = bytes.find(sig); at != std::string::npos; at = bytes.find(sig, at + 4), ++headers) {
            EXPECT_EQ(u16(at + time), 0u);
            EXPECT_EQ(u16(at + time + 2), (1u << 5) | 1u);  // 1980-01-01
        }
    EXPECT_EQ(headers, 4);
    EXPECT_EQ(Package::FromBytes(bytes).ToBytes(), bytes);
}

// Layouts of other writers: each part reads back, and saving copies each
// untouched entry and its central record byte for byte but for the offset.
TEST(Package, OtherWritersLayoutsReadAndAreCopiedRaw) {
    struct Case {
        const char* what;
        std::vector<Item> items;
        bool zip64End;
        std::string comment;
    };
    const std::string big(3000, 'x');
    const std::vector<Case> cases = {
        {"zip64 entries and end", {{"[Content_Types].xml", "<Types/>", 8, 0, true}, {"word/document.xml", kXml, 0, 0, true}}, true, ""},
        {"zip64 end only", {{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", kXml}}, true, ""},
        {"descriptor without signature", {{"[Content_Types].xml", "<Types/>", 8, 12}, {"word/document.xml", big, 8, 12}}, false, ""},
        {"descriptor with signature", {{"[Content_Types].xml", "<Types/>", 0, 16}, {"word/document.xml", kXml, 8, 16}}, false, ""},
        {"zip64 and 64-bit descriptor", {{"[Content_Types].xml", "<Types/>", 8, 24, true}, {"word/document.xml", kXml, 8, 24, true}}, true, ""},
        {"comment after the end", {{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", kXml, 0}}, false, "PK Vorlage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Built in = Build(c.items, c.zip64End, c.comment);
        auto p = Package::FromBytes(in.bytes);
        for (const Item& it : c.items) EXPECT_EQ(p.Read(it.name), it.content);
        p.Write("word/styles.xml", "<w:styles/>");
        const std::string out = p.ToBytes();
        const auto back = Package::FromBytes(out);
        for (const Item& it : c.items) EXPECT_EQ(back.Read(it.name), it.content);
        EXPECT_EQ(back.Read("word/styles.xml"), "<w:styles/>");
        for (size_t i = 0; i < c.items.size(); ++i) {
            const size_t local = out.find(in.spans[i]);
            ASSERT_NE(local, std::string::npos) << c.items[i].name;
            std::string central = in.centrals[i];
            std::string offset;
            Put(offset, local, c.items[i].zip64 ? 8 : 4);
            central.replace(c.items[i].zip64 ? 46 + c.items[i].name.size() + 20 : 42, offset.size(), offset);
            EXPECT_NE(out.find(central), std::string::npos) << c.items[i].name;
        }
        EXPECT_EQ(Package::FromBytes(out).ToBytes(), out);
    }
}

TEST(Package, PartOfAnotherMethodIsCopiedButNotRead) {
    const Built in = Build({{"[Content_Types].xml", "<Types/>"}, {"word/media/bild.bin", "BZh91AY&SY", 12}}, false);
    for (const std::string& bytes : {in.bytes, Package::FromBytes(in.bytes).ToBytes()}) {
        const auto p = Package::FromBytes(bytes);
        EXPECT_EQ(p.Read("[Content_Types].xml"), "<Types/>");
        try {
            (void)p.Read("word/media/bild.bin");
            ADD_FAILURE() << "method 12 read";
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), kado::word::err::BadPackage);
            EXPECT_NE(e.Description().find("word/media/bild.bin"), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find(" 12 "), std::string::npos) << e.Description();
        }
        EXPECT_NE(bytes.find(in.spans[1]), std::string::npos);
    }
}

// Entries sharing bytes inflate a small file many times over.
TEST(Package, OverlappingEntriesAreRefused) {
    const Item a{"word/a.xml", kXml};
    Item same = a;
    same.sharesLocalOf = 0;
    Item longer = a;
    longer.claimMore = 40;   // its data runs into the next entry's header
    ExpectBadPackage(Build({a, same}, false).bytes, "überlappen");
    ExpectBadPackage(Build({longer, {"word/b.xml", kXml}}, false).bytes, "überlappen");
}

TEST(Package, TruncatedOrGarbledDirectoriesGiveBadPackage) {
    const Built in = Build({{"[Content_Types].xml", "<Types/>", 0, 16}, {"word/document.xml", kXml, 8, 24, true}}, true);
    for (size_t n = 0; n < in.bytes.size(); ++n) ExpectBadPackage(in.bytes.substr(0, n));
    // Each byte of the central directory and its end records spoiled: a value or a refusal, never a crash.
    const size_t cd = in.spans[0].size() + in.spans[1].size();
    for (size_t at = cd; at < in.bytes.size(); ++at)
        for (const char v : {'\x00', '\xff', '\x7f'}) {
            std::string bytes = in.bytes;
            bytes[at] = v;
            try {
                const auto p = Package::FromBytes(bytes);
                for (const auto& n : p.Names()) (void)p.Read(n);
                (void)Package::FromBytes(p.ToBytes());
            } catch (const Error& e) {
                EXPECT_TRUE(e.Number() == kado::word::err::BadPackage || e.Number() == kado::word::err::BadName)
                    << at << ": " << e.Description();
            }
        }
    // The local header where the directory points must be one, and say what the directory says.
    const size_t local = in.spans[0].size(), central = cd + in.centrals[0].size();
    for (const auto& [at, what] : {std::pair{local, "Kopf von word/document.xml fehlt"},
                                   std::pair{local + 8, "Kopf von word/document.xml passt nicht"},
                                   std::pair{local + 30, "Kopf von word/document.xml passt nicht"},
                                   std::pair{central + 46, "Kopf von xord/document.xml passt nicht"}}) {
        std::string bytes = in.bytes;
        bytes[at] = static_cast<char>(bytes[at] + 1);
        ExpectBadPackage(bytes, what);
    }
}

TEST(Package, WrittenNamesOutsideAsciiAreMarkedUtf8) {
    for (const auto& [name, flag] : {std::pair{std::string("word/a.xml"), 0u}, std::pair{std::string("word/Übersicht.xml"), 0x800u}}) {
        auto p = Package::Empty();
        p.Write(name, "<x/>");
        const std::string bytes = p.ToBytes();
        EXPECT_EQ(Le(bytes, 6, 2), flag) << name;
        EXPECT_EQ(Le(bytes, bytes.find(std::string("PK\x01\x02", 4)) + 8, 2), flag) << name;
        EXPECT_EQ(Package::FromBytes(bytes).Read(name), "<x/>");
    }
}
