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
std::string XmlToString(const pugi::xml_document& doc);

}  // namespace kado::word::pkg
