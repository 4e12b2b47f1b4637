#include "xml_safe.h"

#include <sstream>

#include "platform/word/error.h"
#include "platform/word/package.h"

namespace kado::word::pkg {

namespace {

// Doctype nodes are kept so that any declaration can be seen and refused.
constexpr unsigned kParse = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype | pugi::parse_declaration;

void Check(const pugi::xml_document& doc, const pugi::xml_parse_result& res, std::string_view partName,
           PartOffsets at = {}) {
    if (!res) {
        const size_t o = static_cast<size_t>(res.offset);
        const size_t inPart = at.base + o + (o >= at.gapAt ? at.gap : 0);
        com::Raise(err::BadPackage, "Teil " + std::string(partName) + " ist kein gültiges XML: " +
                                       res.description() + " (Offset " + std::to_string(inPart) + ")");
    }
    for (auto n = doc.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_doctype)
            com::Raise(err::BadPackage, "Teil " + std::string(partName) + " enthält eine DOCTYPE-Deklaration");
}

}  // namespace

pugi::xml_document ParseXmlPart(std::string_view xml, std::string_view partName) {
    pugi::xml_document doc;
    Check(doc, doc.load_buffer(xml.data(), xml.size(), kParse), partName);
    return doc;
}

pugi::xml_document ParseXmlPartInPlace(std::string& xml, std::string_view partName) {
    pugi::xml_document doc;
    Check(doc, doc.load_buffer_inplace(xml.data(), xml.size(), kParse), partName);
    return doc;
}

pugi::xml_parse_result LoadXmlFragmentInPlace(pugi::xml_document& doc, std::string& xml) {
    return doc.load_buffer_inplace(xml.data(), xml.size(), kParse | pugi::parse_fragment, pugi::encoding_utf8);
}

void CheckXmlPart(const pugi::xml_document& doc, const pugi::xml_parse_result& res, std::string_view partName,
                  PartOffsets at) {
    Check(doc, res, partName, at);
}

pugi::xml_document ParseXmlPartInPlace(std::string& xml, std::string_view partName, PartOffsets at) {
    pugi::xml_document doc;
    Check(doc, doc.load_buffer_inplace(xml.data(), xml.size(), kParse), partName, at);
    return doc;
}

std::string XmlToString(const pugi::xml_document& doc) {
    std::ostringstream out;
    const bool hasDecl = doc.first_child().type() == pugi::node_declaration;
    if (!hasDecl) out << R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

}  // namespace kado::word::pkg
