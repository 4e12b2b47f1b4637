#include "plugin/dialogs/framework/input_rules.h"

#include <cmath>

#include "platform/com/numtext.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace honora {

namespace forms = kado::forms;

double LabelValue(forms::Form& form, std::string_view label) { return CVal(form.Get<forms::Label>(label).Caption()); }

std::string ValueFactorText(std::string_view landValue) {
    const double v = kado::com::RoundHalfEven(kado::com::PlainRead(landValue));
    if (v > 1000) return "3,75";
    if (v > 300) return "3,0";
    if (v > 100) return "2,25";
    if (v > 10) return "1,5";
    return "1,0";
}

std::string ClassificationFactorOf(int listIndex) {
    if (listIndex == 0) return "1,5";
    if (listIndex == 1) return "1,2";
    return "1,0";
}

namespace {
// Amounts carry two decimals, so a factor read as their quotient is off by far less.
constexpr double kFactorTolerance = 0.005;
}  // namespace

int ClassificationWithFactor(double factor) {
    for (int i = 0; i < static_cast<int>(kClassifications.size()); ++i)
        if (std::abs(CVal(ClassificationFactorOf(i)) - factor) < kFactorTolerance) return i;
    return -1;
}

std::string ValueFactorWithValue(double factor) {
    for (const auto& caption : kValueFactors)
        if (std::abs(CVal(caption) - factor) < kFactorTolerance) return caption;
    return {};
}

void SetValueFactor(forms::Form& form) {
    form.Get<forms::Label>(ctl::kFaktor).SetCaption(ValueFactorText(form.Get<forms::MaskEdBox>(ctl::kBoden).Text()));
}

void SetClassificationFactor(forms::Form& form) {
    form.Get<forms::Label>(ctl::kStrasse)
        .SetCaption(ClassificationFactorOf(form.Get<forms::ComboBox>(ctl::kKlassifizierung).ListIndex()));
}

void CommaRuleOf(forms::MaskEdBox& mskBezug, int keyCode) {
    if (keyCode != forms::key::Comma) return;
    std::string text = WertFormatieren(mskBezug.Text(), 7, 2, true);
    std::erase(text, '.');
    mskBezug.SetText(text);
    mskBezug.SetSelStart(5);
    mskBezug.SetSelLength(2);
}

}  // namespace honora
