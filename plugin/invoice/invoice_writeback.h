// Write-back of the invoice figures into the host's current invoice record,
// in whole cents (negated for a credit invoice of kind 7).
#pragma once

#include <cstdint>

#include "platform/dao/dao.h"
#include "plugin/invoice/totals_values.h"

namespace honora {

// Euro to whole cents, half away from zero on the amount's decimal value
// (1,005 € gives 101), as the document's amount texts round.
double Cent(double euro);

// Stores net, gross and VAT-free amount in cents and the standard rate × 10.
void WriteBackInvoice(kado::dao::Recordset& invoice, const InvoiceTotals& sum, bool credit,
                             int16_t standardRate);

}  // namespace honora
