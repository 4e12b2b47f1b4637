#include <algorithm>
#include <cctype>

#include "host/erechnung/erechnung.h"
#include "host/erechnung/felder.h"

namespace kado::host::erechnung {
namespace {

using felder::Erste;
using felder::Feld;

// Master data of a party; the fields that are needed and empty go to `fehlend`.
Partei ParteiLesen(const std::shared_ptr<dao::Recordset>& rs, std::string_view tabelle, bool verkäufer,
                   std::vector<std::string>& fehlend) {
    Partei p;
    const std::string t(tabelle);
    auto nötig = [&](std::string_view name, std::string& wert) {
        if (rs) wert = Feld(*rs, name);
        if (wert.empty()) fehlend.push_back(t + "." + std::string(name));
    };
    auto frei = [&](std::string_view name, std::string& wert) {
        if (rs) wert = Feld(*rs, name);
    };
    nötig("Name", p.name);
    frei("Straße", p.straße);
    nötig("PLZ", p.plz);
    nötig("Ort", p.ort);
    frei("Land", p.land);
    if (p.land.empty()) p.land = "DE";
    nötig("ElektronischeAdresse", p.adresse);
    frei("ElektronischeAdresseArt", p.adresseArt);
    if (p.adresseArt.empty()) p.adresseArt = "EM";
    if (verkäufer) {
        frei("UStIdNr", p.ustIdNr);
        frei("Steuernummer", p.steuernummer);
        if (p.ustIdNr.empty() && p.steuernummer.empty()) fehlend.push_back(t + ".UStIdNr oder " + t + ".Steuernummer");
        nötig("Ansprechpartner", p.ansprechpartner);
        nötig("Telefon", p.telefon);
        nötig("EMail", p.email);
        nötig("IBAN", p.iban);
        frei("BIC", p.bic);
        frei("Kontoinhaber", p.kontoinhaber);
        std::erase(p.iban, ' ');
    } else {
        nötig("LeitwegID", p.leitwegId);
    }
    return p;
}

// Values that are there but that the rules would not take.
void ParteiPrüfen(const Partei& p, std::string_view tabelle, bool verkäufer, std::vector<std::string>& ungültig) {
    const std::string t(tabelle);
    const bool land = p.land.size() == 2 && std::isupper(static_cast<unsigned char>(p.land[0])) &&
                      std::isupper(static_cast<unsigned char>(p.land[1]));
    if (!land) ungültig.push_back(t + ".Land (zwei Großbuchstaben, z. B. DE)");
    const bool art = p.adresseArt == "EM" || (p.adresseArt.size() == 4 && std::all_of(p.adresseArt.begin(), p.adresseArt.end(),
                                                                                       [](unsigned char c) { return std::isdigit(c) != 0; }));
    if (!art) ungültig.push_back(t + ".ElektronischeAdresseArt (EM oder ein vierstelliger Code)");
    auto mail = [](const std::string& m) {
        const auto at = m.find('@');
        return at != std::string::npos && at > 0 && at + 1 < m.size() && m.find('@', at + 1) == std::string::npos &&
               m.find(' ') == std::string::npos;
    };
    if (p.adresseArt == "EM" && !p.adresse.empty() && !mail(p.adresse))
        ungültig.push_back(t + ".ElektronischeAdresse (keine E-Mail-Adresse)");
    if (!verkäufer) return;
    if (!p.email.empty() && !mail(p.email)) ungültig.push_back(t + ".EMail (keine E-Mail-Adresse)");
    if (!p.telefon.empty() && std::count_if(p.telefon.begin(), p.telefon.end(),
                                            [](unsigned char c) { return std::isdigit(c) != 0; }) < 3)
        ungültig.push_back(t + ".Telefon (mindestens drei Ziffern)");
    if (!p.iban.empty() && !IbanGültig(p.iban)) ungültig.push_back(t + ".IBAN (Prüfziffer stimmt nicht)");
}

}  // namespace

bool IbanGültig(std::string_view iban) {
    if (iban.size() < 15 || iban.size() > 34) return false;
    if (!std::isupper(static_cast<unsigned char>(iban[0])) || !std::isupper(static_cast<unsigned char>(iban[1])))
        return false;
    std::string umgestellt = std::string(iban.substr(4)) + std::string(iban.substr(0, 4));
    int rest = 0;
    for (char c : umgestellt) {
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

void StammdatenLesen(dao::Database& db, const std::string& auftrag, Beleg& b, Ablehnung& a) {
    auto büro = Erste(db, "SELECT * FROM Büro ORDER BY ID_Büro");
    b.verkäufer = ParteiLesen(büro, "Büro", true, a.fehlend);
    std::shared_ptr<dao::Recordset> kunde;
    if (auto auf = Erste(db, "SELECT * FROM Auftrag WHERE ID_Auftragsnummer = " + auftrag);
        auf && !auf->Field("ID_Auftraggeber").IsNull()) {
        kunde = Erste(db, "SELECT * FROM Auftraggeber WHERE ID_Auftraggeber = " +
                              dao::SqlNumber(auf->Field("ID_Auftraggeber")));
    } else {
        a.fehlend.push_back("Auftrag.ID_Auftraggeber (Auftrag " + auftrag + ")");
    }
    b.käufer = ParteiLesen(kunde, "Auftraggeber", false, a.fehlend);
    std::vector<std::string> ungültig;
    ParteiPrüfen(b.verkäufer, "Büro", true, ungültig);
    ParteiPrüfen(b.käufer, "Auftraggeber", false, ungültig);
    if (!ungültig.empty()) {
        a.grund = "ungültig: ";
        for (size_t i = 0; i < ungültig.size(); ++i) a.grund += (i ? ", " : "") + ungültig[i];
    }
}

}  // namespace kado::host::erechnung
