// Removal of the totals table that an earlier totals run left in the invoice
// document, so a dialog can write its fee table onto a clean document.
#pragma once

namespace honora {

// Deletes every table of the session's document that carries a "RE_Summe"
// comment anywhere in its range.
void SummeLöschen();

}  // namespace honora
