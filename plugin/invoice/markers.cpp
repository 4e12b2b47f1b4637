#include "plugin/invoice/markers.h"

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"

namespace honora {

namespace {
constexpr std::string_view kExcludedText = fee_collection::kNichtGezählt;
}  // namespace

std::string EncodeFeeMark(const FeeMark& mark) {
    switch (mark.kind) {
        case FeeMark::Kind::Standard: return {};
        case FeeMark::Kind::Excluded: return std::string(kExcludedText);
        case FeeMark::Kind::Rate: return kado::com::NumberToText(mark.rate);
    }
    return {};
}

FeeMark DecodeFeeMark(std::string_view comment) {
    if (comment.empty()) return {};
    if (comment == kExcludedText) return FeeMark::Excluded();
    return {FeeMark::Kind::Rate, CVal(comment)};
}

}  // namespace honora
