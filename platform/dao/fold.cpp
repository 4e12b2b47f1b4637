#include "platform/dao/fold.h"

namespace kado::dao {

std::string FoldAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

namespace {

// Upper-cases ASCII and the Latin-1 lower-case letters (UTF-8 C3 A0..BE,
// except the division sign) so "MwStErmäßigt" matches "MWSTERMÄßIGT".
std::string Fold(std::string_view s) {
    std::string out = FoldAscii(s);
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        auto lead = static_cast<unsigned char>(out[i]);
        auto next = static_cast<unsigned char>(out[i + 1]);
        if (lead == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) out[i + 1] = static_cast<char>(next - 0x20);
        if (lead >= 0xC0) ++i;
    }
    return out;
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) { return a.size() == b.size() && Fold(a) == Fold(b); }

}  // namespace kado::dao
