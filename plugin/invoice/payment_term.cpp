#include "plugin/invoice/payment_term.h"

#include <cctype>
#include <optional>
#include <vector>

#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "platform/dao/dao.h"
#include "plugin/common/need.h"
#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/invoice/markers.h"

namespace honora {

namespace {

using kado::com::Date;
using kado::com::Variant;
namespace word = kado::word;


// The leading number of a text the way the runtime's Val reads it: blanks
// skipped, a sign, digits and a decimal point; nothing readable gives 0.
// `used` is the count of characters consumed, blanks included.
double LeadingNumber(std::string_view t, size_t& used) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    size_t start = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digitsFrom = i;
    bool point = false;
    while (i < t.size() && (std::isdigit(static_cast<unsigned char>(t[i])) || (t[i] == '.' && !point))) {
        if (t[i] == '.') point = true;
        ++i;
    }
    bool anyDigit = false;
    for (size_t k = digitsFrom; k < i; ++k) anyDigit = anyDigit || std::isdigit(static_cast<unsigned char>(t[k]));
    if (!anyDigit) {
        used = 0;
        return 0;
    }
    used = i;
    if (t[start] == '+') ++start;  // from_chars takes no "+"
    return kado::com::ReadDotNumber(t.substr(start, i - start)).value_or(0);
}

}  // namespace

PaymentTermTemplate ReadTermTemplate(std::string_view templateText) {
    PaymentTermTemplate v;
    size_t p1 = templateText.find('<');
    if (p1 == std::string_view::npos) return v;
    v.hasDate = true;
    v.before = std::string(templateText.substr(0, p1));
    size_t used = 0;
    v.days = LeadingNumber(templateText.substr(p1 + 1, 3), used);
    // Only a ">" after the "<" closes the days; without one the text goes on
    // right after the days instead of repeating the whole template.
    size_t p2 = templateText.find('>', p1 + 1);
    size_t rest = p2 != std::string_view::npos ? p2 + 1 : p1 + 1 + used;
    v.after = std::string(templateText.substr(rest));
    return v;
}

std::string PaymentTermText(const PaymentTermTemplate& v, Date due) {
    return v.before + " " + Variant(due).ToString() + " " + v.after;
}

void ZahlungsZiel(std::shared_ptr<word::Document>& doc, bool Zahlungsziel) {
    Steps s("GebührenTabelle", "ZahlungsZiel");
    auto& c = Session();
    std::vector<word::Shape> oldShapes;
    int count = 0;
    std::shared_ptr<kado::dao::Recordset> version;
    word::Shape box;
    std::string text;

    auto sel = [&] { return Need(doc).GetApplication()->GetSelection(); };

    // Collected first so that deleting does not skip the shape after a deleted one.
    s(100, [&] { count = Need(doc).GetShapes().Count(); });
    for (int i = 1; i <= count; ++i)
        s(110, [&] {
            auto shape = doc->GetShapes().Item(i);
            if (shape.Name() == marke::kPaymentTermShape) oldShapes.push_back(shape);
        });
    for (auto& shape : oldShapes) s(120, [&] { shape.Delete(); });
    if (!Zahlungsziel) return;

    s(130, [&] {
        version = Need(c.NeueAbfrage).OpenRecordset("Version", kado::dao::dbOpenDynaset, c.RecordsetOptionen);
    });
    s(140, [&] { Need(version).MoveFirst(); });
    s(150, [&] { Need(doc).Content().Select(); });
    s(160, [&] { sel().Collapse(word::CollapseDirection::End); });
    s(170, [&] {
        box = Need(doc).GetShapes().AddTextbox(word::TextOrientation::Horizontal, 70.5f, 766.5f, 450.75f, 54.0f);
    });
    s(180, [&] { box.Select(); });
    s(190, [&] { sel().ShapeRange().SetName(marke::kPaymentTermShape); });
    s(200, [&] { sel().ShapeRange().GetTextFrame().TextRange().Select(); });
    s(210, [&] { sel().Collapse(word::CollapseDirection::Start); });
    // The insertion point in the box's text still has the box as its shape.
    s(220, [&] { sel().ShapeRange().Select(); });
    s(230, [&] { sel().ShapeRange().Fill().SetVisible(false); });
    s(240, [&] { sel().ShapeRange().Fill().SetTransparency(1.0f); });
    s(250, [&] { sel().ShapeRange().Line().SetVisible(false); });
    s(260, [&] { sel().ShapeRange().SetRelativeVerticalPosition(word::RelativeVerticalPosition::Page); });
    s(270, [&] {
        float cm = Need(version).Field("AbstandZahlungsziel").ToSingle();
        sel().ShapeRange().SetTop(doc->GetApplication()->CentimetersToPoints(cm));
    });
    // Placed by the page, the box would cover whatever the fee tables pushed down
    // to it: the text keeps the box's lines free and goes on below it or on the next page.
    s(275, [&] { sel().ShapeRange().SetWrapType(word::WrapType::TopBottom); });
    s(280, [&] { sel().GetParagraphFormat().SetAlignment(word::Alignment::Center); });

    s(290, [&] { text = Need(version).Field("Zahlungsziel").ToString(); });
    PaymentTermTemplate templateText;
    Date due;
    s(300, [&] { templateText = ReadTermTemplate(text); });
    if (templateText.hasDate) {
        s(310, [&] { due = Date{Date::Today().serial + templateText.days}; });
        if (c.Rechnung) {
            std::shared_ptr<kado::dao::Recordset> dueDate;
            s(320, [&] {
                dueDate = Need(c.NeueAbfrage).OpenRecordset(
                    "SELECT ID_Terminart, ID_Rechnungsnummer, Datum From Termine WHERE (((ID_Terminart)=8) AND "
                    "((ID_Rechnungsnummer)=" +
                        kado::dao::SqlNumber(c.Rechnung->Field("ID_Rechnungsnummer")) + "));",
                    kado::dao::dbOpenDynaset, c.RecordsetOptionen);
            });
            // Without a date record the due date stays today's date, without a
            // time of day, plus the days.
            s(330, [&] {
                if (!Need(dueDate).EOF_()) due = Date{dueDate->Field("Datum").ToDate().serial + templateText.days};
            });
        }
        s(340, [&] { text = PaymentTermText(templateText, due); });
    }

    s(350, [&] {
        Variant gutter = Need(version).Field("BundZahlungsziel");
        double b = gutter.ToDouble();
        auto a = b == 0 ? word::Alignment::Left : b == 1 ? word::Alignment::Center : word::Alignment::Right;
        sel().GetParagraphFormat().SetAlignment(a);
    });
    s(360, [&] {
        Variant size = Need(version).Field("FontZahlungsZiel");
        if (!size.IsNull()) sel().GetFont().SetSize(size.ToSingle());
    });
    s(370, [&] { sel().TypeText(text); });
}

}  // namespace honora
