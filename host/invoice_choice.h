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
};

// Every Rechnung record, in the order of ID_Rechnungsnummer.
std::vector<InvoiceRecord> InvoiceRecords(dao::Database& db);

// Shows the form "Rechnung wählen" modally on the desktop with the records in
// a list, `current` (else the first) preselected; the chosen id, or nothing
// when the user cancels or closes it. Without records OK is disabled.
std::optional<int> ChooseInvoice(const std::shared_ptr<forms::Desktop>& desktop, const std::string& database,
                                 const std::vector<InvoiceRecord>& records, std::optional<int> current);

}  // namespace kado::host
