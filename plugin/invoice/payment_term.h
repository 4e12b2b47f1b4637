// The payment-term text box of the invoice document: removed on every run and,
// when the invoice asks for one, written anew from the host's template.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/com/variant.h"
#include "platform/word/word.h"

namespace honora {

// Deletes every shape named "Zahlungsziel"; with the flag set adds the text
// box again, placed and formatted from the host's "Version" row.
void ZahlungsZiel(std::shared_ptr<kado::word::Document>& doc, bool Zahlungsziel);

// The due-date part of a template: the days that follow its "<" and where
// the text after the days goes on. Without "<" there is no due date.
struct PaymentTermTemplate {
    bool hasDate = false;
    std::string before;    // text before "<"
    double days = 0;      // number of days after "<" (up to three characters)
    std::string after;   // text after ">", or after the days when no ">" follows
};
PaymentTermTemplate ReadTermTemplate(std::string_view templateText);

// Text of the box: the template with the due date filled in between blanks.
std::string PaymentTermText(const PaymentTermTemplate& v, kado::com::Date due);

}  // namespace honora
