// The comment texts that mark places of an invoice document, and the mark a
// fee cell carries for the totals: one encoder for the dialogs, one decoder for the sums.
#pragma once

#include <string>
#include <string_view>

#include "plugin/component/honora.h"

namespace honora {

namespace marke {
// The host's template markers (kStart, kGesamt ... kAuslagen) are published in honora.h.
// Cell (1,1) of the totals table.
inline constexpr std::string_view kSummentabelle = "RE_Summe";
// The name of the payment-term text box.
inline constexpr std::string_view kPaymentTermShape = "Zahlungsziel";
// A category's fee table carries this followed by its number on cell (1,5).
inline constexpr std::string_view kCategoryMarkerPrefix = "Honora_";

inline std::string CategoryMarker(int number) { return std::string(kCategoryMarkerPrefix) + std::to_string(number); }
}  // namespace marke

// What the totals do with a column-5 amount: add it at the standard rate (no
// comment), skip it ("no"), or add it at the rate its comment names.
struct FeeMark {
    enum class Kind : unsigned char { Standard, Excluded, Rate };
    Kind kind = Kind::Standard;
    double rate = 0;  // Rate: percent, as the comment's German number reads

    static FeeMark Excluded() { return {Kind::Excluded, 0}; }
    bool operator==(const FeeMark&) const = default;
};

// The comment text of the mark ("" for none); a rate is written in the German convention.
std::string EncodeFeeMark(const FeeMark& mark);
// The mark a cell's first comment text gives; "" is the standard rate.
FeeMark DecodeFeeMark(std::string_view comment);

}  // namespace honora
