#include <cmath>
#include <cstdio>
#include <sstream>

#include <pugixml.hpp>

#include "host/erechnung/erechnung.h"

namespace kado::host::erechnung {
namespace {

constexpr const char* kCustomization = "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";
constexpr const char* kProfile = "urn:fdc:peppol.eu:2017:poacc:billing:01:1.0";
constexpr const char* kWährung = "EUR";
// VAT-free disbursements are passed on at cost, outside the taxable amount.
constexpr const char* kAuslagenGrund = "Durchlaufender Posten, nicht Teil des Entgelts (§ 10 Abs. 1 Satz 6 UStG)";

std::string Betrag(Cent c) {
    const Cent a = c < 0 ? -c : c;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", c < 0 ? "-" : "", static_cast<long long>(a / 100),
                  static_cast<long long>(a % 100));
    return text;
}

std::string Prozent(double satz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", satz);
    std::string t = text;
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
}

std::string IsoDatum(const com::Date& d) {
    int y = 0, m = 0, t = 0;
    d.ToYmd(y, m, t);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, t);
    return text;
}

pugi::xml_node Text(pugi::xml_node parent, const char* name, const std::string& text) {
    auto n = parent.append_child(name);
    n.text().set(text.c_str());
    return n;
}

void Geld(pugi::xml_node parent, const char* name, Cent c) {
    Text(parent, name, Betrag(c)).append_attribute("currencyID") = kWährung;
}

void Steuerart(pugi::xml_node parent, const char* name, double satz, bool gründe) {
    auto k = parent.append_child(name);
    Text(k, "cbc:ID", satz > 0 ? "S" : "E");
    Text(k, "cbc:Percent", Prozent(satz));
    if (gründe && satz <= 0) Text(k, "cbc:TaxExemptionReason", kAuslagenGrund);
    Text(k.append_child("cac:TaxScheme"), "cbc:ID", "VAT");
}

void Anschrift(pugi::xml_node party, const Partei& p) {
    auto a = party.append_child("cac:PostalAddress");
    if (!p.straße.empty()) Text(a, "cbc:StreetName", p.straße);
    Text(a, "cbc:CityName", p.ort);
    Text(a, "cbc:PostalZone", p.plz);
    Text(a.append_child("cac:Country"), "cbc:IdentificationCode", p.land);
}

void Endpunkt(pugi::xml_node party, const Partei& p) {
    Text(party, "cbc:EndpointID", p.adresse).append_attribute("schemeID") = p.adresseArt.c_str();
}

// The invoice kind as a type code: an advance invoice is a partial invoice.
const char* Typ(int art) { return art == 5 ? "326" : "380"; }

}  // namespace

std::string UblSchreiben(const Beleg& b) {
    pugi::xml_document xml;
    auto decl = xml.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    auto inv = xml.append_child("ubl:Invoice");
    inv.append_attribute("xmlns:ubl") = "urn:oasis:names:specification:ubl:schema:xsd:Invoice-2";
    inv.append_attribute("xmlns:cac") = "urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2";
    inv.append_attribute("xmlns:cbc") = "urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2";
    Text(inv, "cbc:CustomizationID", kCustomization);
    Text(inv, "cbc:ProfileID", kProfile);
    Text(inv, "cbc:ID", b.nummer);
    Text(inv, "cbc:IssueDate", IsoDatum(b.datum));
    if (b.fällig) Text(inv, "cbc:DueDate", IsoDatum(*b.fällig));
    Text(inv, "cbc:InvoiceTypeCode", Typ(b.art));
    Text(inv, "cbc:DocumentCurrencyCode", kWährung);
    Text(inv, "cbc:BuyerReference", b.käufer.leitwegId);
    for (const auto& z : b.anzahlungen) {
        auto ref = inv.append_child("cac:BillingReference").append_child("cac:InvoiceDocumentReference");
        Text(ref, "cbc:ID", z.nummer);
        Text(ref, "cbc:IssueDate", IsoDatum(z.datum));
    }

    {
        const Partei& p = b.verkäufer;
        auto party = inv.append_child("cac:AccountingSupplierParty").append_child("cac:Party");
        Endpunkt(party, p);
        Text(party.append_child("cac:PartyName"), "cbc:Name", p.name);
        Anschrift(party, p);
        if (!p.ustIdNr.empty()) {
            auto t = party.append_child("cac:PartyTaxScheme");
            Text(t, "cbc:CompanyID", p.ustIdNr);
            Text(t.append_child("cac:TaxScheme"), "cbc:ID", "VAT");
        }
        if (!p.steuernummer.empty()) {
            auto t = party.append_child("cac:PartyTaxScheme");
            Text(t, "cbc:CompanyID", p.steuernummer);
            Text(t.append_child("cac:TaxScheme"), "cbc:ID", "FC");
        }
        Text(party.append_child("cac:PartyLegalEntity"), "cbc:RegistrationName", p.name);
        auto c = party.append_child("cac:Contact");
        Text(c, "cbc:Name", p.ansprechpartner);
        Text(c, "cbc:Telephone", p.telefon);
        Text(c, "cbc:ElectronicMail", p.email);
    }
    {
        const Partei& p = b.käufer;
        auto party = inv.append_child("cac:AccountingCustomerParty").append_child("cac:Party");
        Endpunkt(party, p);
        Anschrift(party, p);
        Text(party.append_child("cac:PartyLegalEntity"), "cbc:RegistrationName", p.name);
    }

    auto means = inv.append_child("cac:PaymentMeans");
    Text(means, "cbc:PaymentMeansCode", "58");  // SEPA credit transfer
    Text(means, "cbc:PaymentID", b.nummer);
    auto konto = means.append_child("cac:PayeeFinancialAccount");
    Text(konto, "cbc:ID", b.verkäufer.iban);
    Text(konto, "cbc:Name", b.verkäufer.kontoinhaber.empty() ? b.verkäufer.name : b.verkäufer.kontoinhaber);
    if (!b.verkäufer.bic.empty()) Text(konto.append_child("cac:FinancialInstitutionBranch"), "cbc:ID", b.verkäufer.bic);
    Text(inv.append_child("cac:PaymentTerms"), "cbc:Note", b.zahlungsbedingung);

    Cent abzüge = 0, zuschläge = 0;
    for (const auto& k : b.kategorien) {
        if (k.nachlass == 0) continue;
        auto ac = inv.append_child("cac:AllowanceCharge");
        Text(ac, "cbc:ChargeIndicator", k.nachlass < 0 ? "true" : "false");
        Text(ac, "cbc:AllowanceChargeReason", b.nachlassGrund);
        Geld(ac, "cbc:Amount", k.nachlass < 0 ? -k.nachlass : k.nachlass);
        Steuerart(ac, "cac:TaxCategory", k.satz, false);
        (k.nachlass < 0 ? zuschläge : abzüge) += k.nachlass < 0 ? -k.nachlass : k.nachlass;
    }

    auto tax = inv.append_child("cac:TaxTotal");
    Geld(tax, "cbc:TaxAmount", b.steuer);
    for (const auto& k : b.kategorien) {
        auto sub = tax.append_child("cac:TaxSubtotal");
        Geld(sub, "cbc:TaxableAmount", k.basis);
        Geld(sub, "cbc:TaxAmount", k.steuer);
        Steuerart(sub, "cac:TaxCategory", k.satz, true);
    }

    auto total = inv.append_child("cac:LegalMonetaryTotal");
    Geld(total, "cbc:LineExtensionAmount", b.positionenSumme);
    Geld(total, "cbc:TaxExclusiveAmount", b.netto);
    Geld(total, "cbc:TaxInclusiveAmount", b.brutto);
    if (abzüge) Geld(total, "cbc:AllowanceTotalAmount", abzüge);
    if (zuschläge) Geld(total, "cbc:ChargeTotalAmount", zuschläge);
    if (b.vorausbezahlt) Geld(total, "cbc:PrepaidAmount", b.vorausbezahlt);
    Geld(total, "cbc:PayableAmount", b.zahlbar);

    int n = 0;
    for (const auto& p : b.positionen) {
        auto line = inv.append_child("cac:InvoiceLine");
        Text(line, "cbc:ID", std::to_string(++n));
        // The item price may not be negative; a negative fee is a negative quantity.
        Text(line, "cbc:InvoicedQuantity", p.netto < 0 ? "-1" : "1").append_attribute("unitCode") = "C62";
        Geld(line, "cbc:LineExtensionAmount", p.netto);
        auto item = line.append_child("cac:Item");
        Text(item, "cbc:Name", p.name);
        Steuerart(item, "cac:ClassifiedTaxCategory", p.satz, false);
        Geld(line.append_child("cac:Price"), "cbc:PriceAmount", p.netto < 0 ? -p.netto : p.netto);
    }

    std::ostringstream out;
    xml.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

}  // namespace kado::host::erechnung
