#include <algorithm>
#include <cctype>

#include "host/erechnung/erechnung.h"
#include "host/erechnung/felder.h"

namespace kado::host::einvoicing {
namespace {

using fields::FirstRow;
using fields::TrimmedField;

// Master data of a party; the fields that are needed and empty go to `missing`.
Party ReadParty(const std::shared_ptr<dao::Recordset>& rs, std::string_view tabelle, bool seller,
                   std::vector<std::string>& missing) {
    Party p;
    const std::string t(tabelle);
    auto required = [&](std::string_view name, std::string& value) {
        if (rs) value = TrimmedField(*rs, name);
        if (value.empty()) missing.push_back(t + "." + std::string(name));
    };
    auto vatFree = [&](std::string_view name, std::string& value) {
        if (rs) value = TrimmedField(*rs, name);
    };
    required("Name", p.name);
    vatFree("Straße", p.straße);
    required("PLZ", p.plz);
    required("Ort", p.ort);
    vatFree("Land", p.land);
    if (p.land.empty()) p.land = "DE";
    required("ElektronischeAdresse", p.adresse);
    vatFree("ElektronischeAdresseArt", p.adresseArt);
    if (p.adresseArt.empty()) p.adresseArt = "EM";
    if (seller) {
        vatFree("UStIdNr", p.ustIdNr);
        vatFree("Steuernummer", p.steuernummer);
        if (p.ustIdNr.empty() && p.steuernummer.empty()) missing.push_back(t + ".UStIdNr oder " + t + ".Steuernummer");
        required("Ansprechpartner", p.ansprechpartner);
        required("Telefon", p.telefon);
        required("EMail", p.email);
        required("IBAN", p.iban);
        vatFree("BIC", p.bic);
        vatFree("Kontoinhaber", p.kontoinhaber);
        std::erase(p.iban, ' ');
    } else {
        required("LeitwegID", p.leitwegId);
    }
    return p;
}

// Values that are there but that the rules would not take.
void CheckParty(const Party& p, std::string_view tabelle, bool seller, std::vector<std::string>& invalid) {
    const std::string t(tabelle);
    const bool land = p.land.size() == 2 && std::isupper(static_cast<unsigned char>(p.land[0])) &&
                      std::isupper(static_cast<unsigned char>(p.land[1]));
    if (!land) invalid.push_back(t + ".Land (zwei Großbuchstaben, z. B. DE)");
    const bool art = p.adresseArt == "EM" || (p.adresseArt.size() == 4 && std::all_of(p.adresseArt.begin(), p.adresseArt.end(),
                                                                                       [](unsigned char c) { return std::isdigit(c) != 0; }));
    if (!art) invalid.push_back(t + ".ElektronischeAdresseArt (EM oder ein vierstelliger Code)");
    auto mail = [](const std::string& m) {
        const auto at = m.find('@');
        return at != std::string::npos && at > 0 && at + 1 < m.size() && m.find('@', at + 1) == std::string::npos &&
               m.find(' ') == std::string::npos;
    };
    if (p.adresseArt == "EM" && !p.adresse.empty() && !mail(p.adresse))
        invalid.push_back(t + ".ElektronischeAdresse (keine E-Mail-Adresse)");
    if (!seller) return;
    if (!p.email.empty() && !mail(p.email)) invalid.push_back(t + ".EMail (keine E-Mail-Adresse)");
    if (!p.telefon.empty() && std::count_if(p.telefon.begin(), p.telefon.end(),
                                            [](unsigned char c) { return std::isdigit(c) != 0; }) < 3)
        invalid.push_back(t + ".Telefon (mindestens drei Ziffern)");
    if (!p.iban.empty() && !IbanIsValid(p.iban)) invalid.push_back(t + ".IBAN (Prüfziffer stimmt nicht)");
}

}  // namespace

bool IbanIsValid(std::string_view iban) {
    if (iban.size() < 15 || iban.size() > 34) return false;
    if (!std::isupper(static_cast<unsigned char>(iban[0])) || !std::isupper(static_cast<unsigned char>(iban[1])))
        return false;
    std::string rearranged = std::string(iban.substr(4)) + std::string(iban.substr(0, 4));
    int rest = 0;
    for (char c : rearranged) {
        if (c >= '0' && c <= '9') {
            rest = (rest * 10 + (c - '0')) % 97;
        } else if (c >= 'A' && c <= 'Z') {
            rest = (rest * 100 + (c - 'A' + 10)) % 97;
        } else {
            return false;
        }
    }
    return rest == 1;
}

void ReadMasterData(dao::Database& db, const std::string& orderId, EInvoice& b, Refusal& a) {
    auto officeRow = FirstRow(db, "SELECT * FROM Büro ORDER BY ID_Büro");
    b.seller = ReadParty(officeRow, "Büro", true, a.missing);
    std::shared_ptr<dao::Recordset> customer;
    if (auto orderRow = FirstRow(db, "SELECT * FROM Auftrag WHERE ID_Auftragsnummer = " + orderId);
        orderRow && !orderRow->Field("ID_Auftraggeber").IsNull()) {
        customer = FirstRow(db, "SELECT * FROM Auftraggeber WHERE ID_Auftraggeber = " +
                              dao::SqlNumber(orderRow->Field("ID_Auftraggeber")));
    } else {
        a.missing.push_back("Auftrag.ID_Auftraggeber (Auftrag " + orderId + ")");
    }
    b.buyer = ReadParty(customer, "Auftraggeber", false, a.missing);
    std::vector<std::string> invalid;
    CheckParty(b.seller, "Büro", true, invalid);
    CheckParty(b.buyer, "Auftraggeber", false, invalid);
    if (!invalid.empty()) {
        a.reason = "ungültig: ";
        for (size_t i = 0; i < invalid.size(); ++i) a.reason += (i ? ", " : "") + invalid[i];
    }
}

}  // namespace kado::host::einvoicing
