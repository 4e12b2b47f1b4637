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

namespace kado::host::einvoicing {

using Cent = int64_t;

// The office (seller) or the order's client (buyer) as the e-invoice names them.
struct Party {
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
    Cent net = 0;
    double rate = 0;  // percent; 0: VAT-free disbursements
};

// The VAT breakdown of one rate, after discount or advance share.
struct VatBreakdown {
    double rate = 0;
    Cent lines = 0;  // the lines at this rate
    Cent allowance = 0;    // the discount or share not invoiced (negative: a surcharge)
    Cent basis = 0;
    Cent vat = 0;
};

// An advance invoice a final invoice deducts.
struct AdvanceInvoice {
    std::string number;
    com::Date date;
    Cent net = 0, vat = 0, gross = 0;
};

struct EInvoice {
    std::string number;
    int art = 0;  // Rechnungsart
    com::Date date;
    std::optional<com::Date> due;
    std::string paymentTerms;
    std::string allowanceReason;
    Party seller, buyer;
    std::vector<Position> lines;
    std::vector<VatBreakdown> rateGroups;
    std::vector<AdvanceInvoice> advances;
    Cent linesTotal = 0, allowance = 0, net = 0, vat = 0, gross = 0, prepaid = 0, payable = 0;
};

// The reason an e-invoice is not made: missing master data (their German
// names, Table.Field) or figures that disagree; always the input's fault.
struct Refusal {
    std::vector<std::string> missing;
    std::string reason;
    std::string Text() const;
};

struct BuildResult {
    std::optional<EInvoice> einvoice;
    std::optional<Refusal> refusal;
};

// Gathers and checks the e-invoice of invoice record `invoice` from the
// finished document; `user` is the user whose invoice settings (TempDoc)
// made the totals. Database failures throw com::Error.
BuildResult BuildEInvoice(dao::Database& db, const word::Document& doc, int invoice, int user = 1);

// What the fee tables of a document give the e-invoice: its lines and the
// rate subtotals, by the totals' own collection rule and number reading.
// Throws nothing.
struct FeeLines {
    std::vector<Position> lines;
    std::vector<std::pair<double, double>> rates;  // rate, subtotal in euro, rates > 0
    double net = 0;
    double vatFree = 0;
};
FeeLines ReadFeeLines(const word::Document& doc, double standardRate);

// The UBL 2.1 XML of the invoice, XRechnung 3.0.
std::string WriteUbl(const EInvoice& einvoice);

// BuildEInvoice, then the XML written atomically to `target`; nothing is
// written when the e-invoice is refused. The refusal, or nothing.
std::optional<Refusal> ExportFile(dao::Database& db, const word::Document& doc, int invoice,
                                     const std::filesystem::path& target, int user = 1);

// The office (the first row of Büro) and the client of order `orderId`
// (Auftrag.ID_Auftraggeber) into the invoice; what is missing or would not be
// accepted goes into the refusal.
void ReadMasterData(dao::Database& db, const std::string& orderId, EInvoice& einvoice, Refusal& refusal);

// Whether an IBAN's check digits are right (ISO 13616, mod 97).
bool IbanIsValid(std::string_view iban);

}  // namespace kado::host::einvoicing
