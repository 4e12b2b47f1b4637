// Rules of the input fields every category dialog shares: select-all on
// focus, the land-value and classification factors, the share's comma key.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/common/number_text.h"

namespace honora {

// The entries of every cmbKlassifizierung, in list order.
inline const std::array<std::string, 3> kClassifications = {
    "Bundesfernstraßen, Bundeswasserstraßen, Landesstraßen, Bahnen, Gewässer 1. Ordnung",
    "Kreisstraßen, Gemeindestraßen, Gewässer 2. Ordnung",
    "Wege, sonstige Gewässer, Dämme",
};

// Every caption the land-value rule gives, smallest first.
inline const std::array<std::string, 5> kValueFactors = {"1,0", "1,5", "2,25", "3,0", "3,75"};

// The list index whose classification factor equals the value within a
// rounding of the amounts it was read from; -1 when none does.
int ClassificationWithFactor(double factor);
// The land-value caption equal to the value in the same sense; "" when none is.
std::string ValueFactorWithValue(double factor);

// The number a label shows, read the German way (amounts and factors).
double LabelValue(kado::forms::Form& form, std::string_view label);

// The factor caption of a land-value field's text ("3,75" above 1000 €/m² ... "1,0").
std::string ValueFactorText(std::string_view landValue);

// The factor caption of a classification list index; -1 (no entry) gives "1,0".
std::string ClassificationFactorOf(int listIndex);

// lblFaktor from mskBoden, lblStrasse from cmbKlassifizierung.
void SetValueFactor(kado::forms::Form& form);
void SetClassificationFactor(kado::forms::Form& form);

// The comma key in mskBezug: the text becomes the share with two decimals and
// the decimals are selected; the key itself then goes on to the field.
void CommaRuleOf(kado::forms::MaskEdBox& mskBezug, int keyCode);

// TextMarkieren's view of a text field.
class FieldSelection : public SelectableText {
public:
    explicit FieldSelection(kado::forms::TextBox& box) : box_(box) {}
    void SetSelStart(int start) override { box_.SetSelStart(start); }
    void SetSelLength(int length) override { box_.SetSelLength(length); }

private:
    kado::forms::TextBox& box_;
};

}  // namespace honora
