#include "host/invoice_figures.h"

#include "platform/com/numtext.h"

namespace kado::host {

std::optional<double> Cents(const com::Variant& field) {
    if (field.IsNull() || field.IsEmpty()) return std::nullopt;
    return field.ToDouble();
}

std::string Euros(const std::optional<double>& cents) {
    return cents ? com::FormatFixed(*cents / 100.0, 2, true) + " €" : "–";
}

std::string CentFigures(const dao::Recordset& rs, WithRate rate) {
    std::string text = "NettoRechnung " + rs.Field("NettoRechnung").ToString() + ", Brutto " +
                       rs.Field("Brutto").ToString() + ", MehrwertsteuerFreierbetrag " +
                       rs.Field("MehrwertsteuerFreierbetrag").ToString();
    if (rate == WithRate::Yes) text += ", Mehrwertsteuersatz " + rs.Field("Mehrwertsteuersatz").ToString();
    return text + " (Cent)";
}

std::string StatusFigures(const dao::Recordset& rs) {
    return "Rechnung " + rs.Field("Rechnungsnummer").ToString() + ":  netto " + Euros(Cents(rs.Field("NettoRechnung"))) +
           "   brutto " + Euros(Cents(rs.Field("Brutto")));
}

}  // namespace kado::host
