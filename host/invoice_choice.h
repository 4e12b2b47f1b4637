// Which Rechnung record a host session writes its fees into: the records of
// the host database, and the small form on which the user picks one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/dao.h"
#include "platform/forms/forms.h"

namespace kado::host {

struct InvoiceRecord {
    int id = 0;          // ID_Rechnungsnummer
    std::string number;  // Rechnungsnummer
    std::string date;    // "dd.mm.yyyy" of its Termine row of kind 8, or ""
    int kind = 0;        // Rechnungsart
    std::optional<double> net, gross;  // NettoRechnung, Brutto, in cents
};

// Every Rechnung record, in the order of ID_Rechnungsnummer.
std::vector<InvoiceRecord> InvoiceRecords(dao::Database& db);

// The record as a line of the choice list: id, number, date, kind, net and gross in euros,
// in columns for a fixed-pitch font.
std::string InvoiceLine(const InvoiceRecord& record);
// Whether every blank-separated word of `search` occurs in the line, case ignored.
bool MatchesSearch(const std::string& line, const std::string& search);

// Shows the form "Rechnung wählen" modally on the desktop: a search field that
// narrows the list as the user types, and the records in the list, `current`
// (else the first shown) preselected; the chosen id, or nothing when the user
// cancels or closes it. Without a record in the list OK is disabled.
std::optional<int> ChooseInvoice(const std::shared_ptr<forms::Desktop>& desktop, const std::string& database,
                                 const std::vector<InvoiceRecord>& records, std::optional<int> current);

}  // namespace kado::host
