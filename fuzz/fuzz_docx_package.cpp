// A .docx comes from anywhere: opening the package and parsing its XML parts
// must end in a value or a com::Error for any byte sequence.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/error.h"
#include "platform/word/package.h"
#include "xml_safe.h"

namespace {
bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kado::word::pkg;
    Limits small;
    small.maxPartBytes = 1u << 20;
    small.maxTotalBytes = 4u << 20;
    small.ratioFloor = 16u << 10;
    small.maxEntries = 64;
    try {
        auto p = Package::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size), small);
        for (const auto& name : p.Names()) {
            try {
                const std::string part = p.Read(name);
                if (EndsWith(name, ".xml") || EndsWith(name, ".rels")) (void)XmlToString(ParseXmlPart(part, name));
            } catch (const kado::com::Error&) {
            }
        }
        if (!p.Names().empty()) p.Write(p.Names().front(), "<x/>");
        (void)Package::FromBytes(p.ToBytes(), small);
    } catch (const kado::com::Error&) {
    }
    return 0;
}
