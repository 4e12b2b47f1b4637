#include "plugin/invoice/amount_fields.h"

#include <optional>
#include <string_view>

#include "platform/com/utf8.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"

namespace honora {

namespace {

// 1-based character position of the first " €" in a text, 0 when there is none.
// The engine counts characters (code points), the text is UTF-8.
long EuroSignPosition(const std::string& text) {
    const size_t byte = text.find(" €");
    if (byte == std::string::npos) return 0;
    return kado::com::CodePoints(std::string_view(text).substr(0, byte)) + 1;
}

}  // namespace

std::string EuroAmountText(double betrag) { return AmountText(betrag, 11) + " €"; }

void ReplaceAmountField(kado::word::Application& app, const kado::word::Comment& marke, double betrag) {
    Steps s("GebührenTabelle", "SummeBilden");
    std::string following;
    long p = 0;
    s(400, [&] {
        auto r = marke.Reference();
        r.Collapse(kado::word::CollapseDirection::End);
        r.Select();
    });
    s(410, [&] { app.GetSelection().MoveEnd(kado::word::Unit::Character, 15); });
    s(420, [&] { following = app.GetSelection().Text(); });
    s(430, [&] { app.GetSelection().Collapse(kado::word::CollapseDirection::Start); });
    long length = 0;
    s(440, [&] {
        p = EuroSignPosition(following);
        if (p == 0) return;
        const size_t euro = following.find(" €");
        // A " €" behind another marker's reference belongs to that field.
        if (following.substr(0, euro).find('\x05') != std::string::npos) {
            p = 0;
            return;
        }
        // The character after " €" goes too, unless it is the next marker:
        // replacing it would delete that comment.
        length = euro + 4 < following.size() && following[euro + 4] == '\x05' ? p + 1 : p + 2;
    });
    if (p > 0) s(450, [&] { app.GetSelection().MoveEnd(kado::word::Unit::Character, length); });
    s(460, [&] { app.GetSelection().SetText(EuroAmountText(betrag) + " "); });
}

void ReplaceAmountFields(kado::word::Document& doc, kado::word::Application& app, std::string_view marke,
                           double betrag) {
    Steps s("GebührenTabelle", "SummeBilden");
    int count = 0;
    s(470, [&] { count = doc.GetComments().Count(); });
    for (int i = 1; i <= count; ++i) {
        kado::word::Comment c;
        s(480, [&] {
            auto item = doc.GetComments().Item(i);
            if (item.Text() == marke) c = item;
        });
        if (c) ReplaceAmountField(app, c, betrag);
    }
}

}  // namespace honora
