#include <cmath>
#include <cstdio>
#include <sstream>

#include <pugixml.hpp>

#include "host/erechnung/erechnung.h"

namespace kado::host::einvoicing {
namespace {

constexpr const char* kCustomization = "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";
constexpr const char* kProfile = "urn:fdc:peppol.eu:2017:poacc:billing:01:1.0";
constexpr const char* kCurrency = "EUR";
// VAT-free disbursements are passed on at cost, outside the taxable amount.
constexpr const char* kDisbursementReason = "Durchlaufender Posten, nicht Teil des Entgelts (§ 10 Abs. 1 Satz 6 UStG)";

std::string AmountValue(Cent c) {
    const Cent a = c < 0 ? -c : c;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", c < 0 ? "-" : "", static_cast<long long>(a / 100),
                  static_cast<long long>(a % 100));
    return text;
}

std::string PercentValue(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", rate);
    std::string t = text;
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
}

std::string IsoDate(const com::Date& d) {
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

void WriteMoney(pugi::xml_node parent, const char* name, Cent c) {
    Text(parent, name, AmountValue(c)).append_attribute("currencyID") = kCurrency;
}

void TaxCategoryCode(pugi::xml_node parent, const char* name, double rate, bool reasons) {
    auto k = parent.append_child(name);
    Text(k, "cbc:ID", rate > 0 ? "S" : "E");
    Text(k, "cbc:Percent", PercentValue(rate));
    if (reasons && rate <= 0) Text(k, "cbc:TaxExemptionReason", kDisbursementReason);
    Text(k.append_child("cac:TaxScheme"), "cbc:ID", "VAT");
}

void WriteAddress(pugi::xml_node party, const Party& p) {
    auto a = party.append_child("cac:PostalAddress");
    if (!p.straße.empty()) Text(a, "cbc:StreetName", p.straße);
    Text(a, "cbc:CityName", p.ort);
    Text(a, "cbc:PostalZone", p.plz);
    Text(a.append_child("cac:Country"), "cbc:IdentificationCode", p.land);
}

void WriteEndpoint(pugi::xml_node party, const Party& p) {
    Text(party, "cbc:EndpointID", p.adresse).append_attribute("schemeID") = p.adresseArt.c_str();
}

// The invoice kind as a type code: an advance invoice is a partial invoice.
const char* InvoiceTypeCode(int art) { return art == 5 ? "326" : "380"; }

}  // namespace

std::string WriteUbl(const EInvoice& b) {
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
    Text(inv, "cbc:ID", b.number);
    Text(inv, "cbc:IssueDate", IsoDate(b.date));
    if (b.due) Text(inv, "cbc:DueDate", IsoDate(*b.due));
    Text(inv, "cbc:InvoiceTypeCode", InvoiceTypeCode(b.art));
    Text(inv, "cbc:DocumentCurrencyCode", kCurrency);
    Text(inv, "cbc:BuyerReference", b.buyer.leitwegId);
    for (const auto& z : b.advances) {
        auto ref = inv.append_child("cac:BillingReference").append_child("cac:InvoiceDocumentReference");
        Text(ref, "cbc:ID", z.number);
        Text(ref, "cbc:IssueDate", IsoDate(z.date));
    }

    {
        const Party& p = b.seller;
        auto party = inv.append_child("cac:AccountingSupplierParty").append_child("cac:Party");
        WriteEndpoint(party, p);
        Text(party.append_child("cac:PartyName"), "cbc:Name", p.name);
        WriteAddress(party, p);
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
        const Party& p = b.buyer;
        auto party = inv.append_child("cac:AccountingCustomerParty").append_child("cac:Party");
        WriteEndpoint(party, p);
        WriteAddress(party, p);
        Text(party.append_child("cac:PartyLegalEntity"), "cbc:RegistrationName", p.name);
    }

    auto means = inv.append_child("cac:PaymentMeans");
    Text(means, "cbc:PaymentMeansCode", "58");  // SEPA credit transfer
    Text(means, "cbc:PaymentID", b.number);
    auto account = means.append_child("cac:PayeeFinancialAccount");
    Text(account, "cbc:ID", b.seller.iban);
    Text(account, "cbc:Name", b.seller.kontoinhaber.empty() ? b.seller.name : b.seller.kontoinhaber);
    if (!b.seller.bic.empty()) Text(account.append_child("cac:FinancialInstitutionBranch"), "cbc:ID", b.seller.bic);
    Text(inv.append_child("cac:PaymentTerms"), "cbc:Note", b.paymentTerms);

    Cent deductions = 0, charges = 0;
    for (const auto& k : b.rateGroups) {
        if (k.allowance == 0) continue;
        auto ac = inv.append_child("cac:AllowanceCharge");
        Text(ac, "cbc:ChargeIndicator", k.allowance < 0 ? "true" : "false");
        Text(ac, "cbc:AllowanceChargeReason", b.allowanceReason);
        WriteMoney(ac, "cbc:Amount", k.allowance < 0 ? -k.allowance : k.allowance);
        TaxCategoryCode(ac, "cac:TaxCategory", k.rate, false);
        (k.allowance < 0 ? charges : deductions) += k.allowance < 0 ? -k.allowance : k.allowance;
    }

    auto tax = inv.append_child("cac:TaxTotal");
    WriteMoney(tax, "cbc:TaxAmount", b.vat);
    for (const auto& k : b.rateGroups) {
        auto sub = tax.append_child("cac:TaxSubtotal");
        WriteMoney(sub, "cbc:TaxableAmount", k.basis);
        WriteMoney(sub, "cbc:TaxAmount", k.vat);
        TaxCategoryCode(sub, "cac:TaxCategory", k.rate, true);
    }

    auto total = inv.append_child("cac:LegalMonetaryTotal");
    WriteMoney(total, "cbc:LineExtensionAmount", b.linesTotal);
    WriteMoney(total, "cbc:TaxExclusiveAmount", b.net);
    WriteMoney(total, "cbc:TaxInclusiveAmount", b.gross);
    if (deductions) WriteMoney(total, "cbc:AllowanceTotalAmount", deductions);
    if (charges) WriteMoney(total, "cbc:ChargeTotalAmount", charges);
    if (b.prepaid) WriteMoney(total, "cbc:PrepaidAmount", b.prepaid);
    WriteMoney(total, "cbc:PayableAmount", b.payable);

    int n = 0;
    for (const auto& p : b.lines) {
        auto line = inv.append_child("cac:InvoiceLine");
        Text(line, "cbc:ID", std::to_string(++n));
        // The item price may not be negative; a negative fee is a negative quantity.
        Text(line, "cbc:InvoicedQuantity", p.net < 0 ? "-1" : "1").append_attribute("unitCode") = "C62";
        WriteMoney(line, "cbc:LineExtensionAmount", p.net);
        auto item = line.append_child("cac:Item");
        Text(item, "cbc:Name", p.name);
        TaxCategoryCode(item, "cac:ClassifiedTaxCategory", p.rate, false);
        WriteMoney(line.append_child("cac:Price"), "cbc:PriceAmount", p.net < 0 ? -p.net : p.net);
    }

    std::ostringstream out;
    xml.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

}  // namespace kado::host::einvoicing
