// The figures of a Rechnung record as the host prints them: in cents for the
// batch run and the save journal, in euros for the window and the invoice choice.
#pragma once

#include <optional>
#include <string>

#include "platform/com/variant.h"
#include "platform/dao/dao.h"

namespace kado::host {

// An amount the record holds in cents, none for a null or empty field.
std::optional<double> Cents(const com::Variant& field);

// "1.234,56 €"; "–" for none.
std::string Euros(const std::optional<double>& cents);

// Whether the cents text also names the VAT rate (the journal needs it to tell records apart).
enum class WithRate : bool { No, Yes };

// "NettoRechnung 48000, Brutto 57120, MehrwertsteuerFreierbetrag 0 (Cent)", the fields as they stand.
std::string CentFigures(const dao::Recordset& invoice, WithRate rate = WithRate::No);

// "Rechnung RE-2026-0001:  netto 480,00 €   brutto 571,20 €", the window's status line.
std::string StatusFigures(const dao::Recordset& invoice);

}  // namespace kado::host
