// The invoice totals: sums every fee table of the session's document by VAT
// rate, writes the totals table and amount fields and the invoice record.
#pragma once

namespace honora {

// Rebuilds the totals of the session's invoice document and writes them back
// into the session's invoice record; ends with the payment term
// (ZahlungsZiel) for the flag. Failures are logged as "GebührenTabelle".
void SummeBilden(bool Zahlungsziel);

}  // namespace honora
