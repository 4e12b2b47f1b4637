// The e-invoice of a finished invoice: what it states, gathered from the
// invoice document, the invoice record and the master data, and checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/word/word.h"

namespace kado::host::erechnung {

using Cent = int64_t;

// The office (seller) or the order's client (buyer) as the e-invoice names them.
struct Partei {
    std::string name, straße, plz, ort, land;
    std::string ustIdNr, steuernummer;                  // seller only
    std::string ansprechpartner, telefon, email;       // seller only
    std::string adresse, adresseArt;                   // electronic address and its scheme
    std::string iban, bic, kontoinhaber;               // seller only
    std::string leitwegId;                             // buyer only
};

// One invoice line: a fee table's counted amounts at one VAT rate.
struct Position {
    std::string name;
    Cent netto = 0;
    double satz = 0;  // percent; 0: VAT-free disbursements
};

// The VAT breakdown of one rate, after discount or advance share.
struct Kategorie {
    double satz = 0;
    Cent positionen = 0;  // the lines at this rate
    Cent nachlass = 0;    // the discount or share not invoiced (negative: a surcharge)
    Cent basis = 0;
    Cent steuer = 0;
};

// An advance invoice a final invoice deducts.
struct Anzahlung {
    std::string nummer;
    com::Date datum;
    Cent netto = 0, steuer = 0, brutto = 0;
};

struct Beleg {
    std::string nummer;
    int art = 0;  // Rechnungsart
    com::Date datum;
    std::optional<com::Date> fällig;
    std::string zahlungsbedingung;
    std::string nachlassGrund;
    Partei verkäufer, käufer;
    std::vector<Position> positionen;
    std::vector<Kategorie> kategorien;
    std::vector<Anzahlung> anzahlungen;
    Cent positionenSumme = 0, nachlass = 0, netto = 0, steuer = 0, brutto = 0, vorausbezahlt = 0, zahlbar = 0;
};

// The reason an e-invoice is not made: missing master data (their German
// names, Table.Field) or figures that disagree; always the input's fault.
struct Ablehnung {
    std::vector<std::string> fehlend;
    std::string grund;
    std::string Text() const;
};

struct Ergebnis {
    std::optional<Beleg> beleg;
    std::optional<Ablehnung> ablehnung;
};

// Gathers and checks the e-invoice of invoice record `rechnung` from the
// finished document; `benutzer` is the user whose invoice settings (TempDoc)
// made the totals. Database failures throw com::Error.
Ergebnis BelegErstellen(dao::Database& db, const word::Document& doc, int rechnung, int benutzer = 1);

// What the fee tables of a document give the e-invoice: its lines and the
// rate subtotals, by the totals' own collection rule and number reading.
// Throws nothing.
struct Gebühren {
    std::vector<Position> positionen;
    std::vector<std::pair<double, double>> sätze;  // rate, subtotal in euro, rates > 0
    double netto = 0;
    double frei = 0;
};
Gebühren GebührenLesen(const word::Document& doc, double standardSatz);

// The UBL 2.1 XML of the invoice, XRechnung 3.0.
std::string UblSchreiben(const Beleg& beleg);

// BelegErstellen, then the XML written atomically to `ziel`; nothing is
// written when the e-invoice is refused. The refusal, or nothing.
std::optional<Ablehnung> Exportieren(dao::Database& db, const word::Document& doc, int rechnung,
                                     const std::filesystem::path& ziel, int benutzer = 1);

// The office (the first row of Büro) and the client of order `auftrag`
// (Auftrag.ID_Auftraggeber) into the invoice; what is missing or would not be
// accepted goes into the refusal.
void StammdatenLesen(dao::Database& db, const std::string& auftrag, Beleg& beleg, Ablehnung& ablehnung);

// Whether an IBAN's check digits are right (ISO 13616, mod 97).
bool IbanGültig(std::string_view iban);

}  // namespace kado::host::erechnung
