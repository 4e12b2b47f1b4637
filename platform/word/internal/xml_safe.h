// Parsing of package XML parts without document type declarations, and
// serialisation that leaves the text exactly as the model built it.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace kado::word::pkg {

pugi::xml_document ParseXmlPart(std::string_view xml, std::string_view partName);
// Parses in the buffer itself (no copy of a large part); the document refers
// into `xml`, which must outlive it and is changed by the parse.
pugi::xml_document ParseXmlPartInPlace(std::string& xml, std::string_view partName);
// Where a buffer's bytes stand in the part it was cut from, so that errors name
// offsets into the part: from `base`, with `gap` bytes left out at `gapAt`.
struct PartOffsets {
    size_t base = 0;
    size_t gapAt = ~size_t{0};
    size_t gap = 0;
};
// A stretch cut from a part (elements, text between them), in place. It may
// end inside an element: the tree then holds what came before, and
// CheckXmlPart raises the error once it is known to be one.
pugi::xml_parse_result LoadXmlFragmentInPlace(pugi::xml_document& doc, std::string& xml);
void CheckXmlPart(const pugi::xml_document& doc, const pugi::xml_parse_result& res, std::string_view partName,
                  PartOffsets at);
// A part with a stretch cut out of it, in place.
pugi::xml_document ParseXmlPartInPlace(std::string& xml, std::string_view partName, PartOffsets at);
std::string XmlToString(const pugi::xml_document& doc);

}  // namespace kado::word::pkg
