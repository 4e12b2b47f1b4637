// Amount texts of the invoice totals and the amount fields that marker
// comments ("kadoGesamt", "kadoNetto", ...) mark in the invoice's text.
#pragma once

#include <string>
#include <string_view>

#include "platform/word/word.h"

namespace honora {

// An invoice amount: AmountText right-aligned in eleven characters, then
// " €" ("     178,50 €").
std::string EuroAmountText(double betrag);

// Replaces the amount that follows the comment's reference mark with the
// value's amount text, " €" and a blank. An old amount counts when its " €"
// stands within the next 15 characters; otherwise the text goes in at the mark.
void ReplaceAmountField(kado::word::Application& app, const kado::word::Comment& marke, double betrag);

// Replaces the amount field of every comment of the document whose text is `marke`.
void ReplaceAmountFields(kado::word::Document& doc, kado::word::Application& app, std::string_view marke,
                           double betrag);

}  // namespace honora
