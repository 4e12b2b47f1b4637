#include "plugin/dialogs/framework/fee_rows.h"

#include <utility>

#include "platform/com/error.h"
#include "platform/com/numtext.h"

namespace honora {

namespace forms = kado::forms;

Condition CountAbove0(std::string field) {
    return [field = std::move(field)](forms::Form& f) {
        return kado::com::PlainRead(f.Get<forms::MaskEdBox>(field).Text()) > 0;
    };
}

Condition Selected(std::string key) {
    return [key = std::move(key)](forms::Form& f) {
        forms::Control& c = f.ItemByKey(key);
        if (auto* option = dynamic_cast<forms::OptionButton*>(&c)) return option->Value();
        if (auto* box = dynamic_cast<forms::CheckBox*>(&c)) return box->Value() == 1;
        kado::com::Raise(kado::com::err::TypeMismatch, "Control '" + c.Key() + "' cannot be selected");
    };
}

Condition Not(Condition condition) {
    return [condition = std::move(condition)](forms::Form& f) { return !condition(f); };
}

CellText Lit(std::string text) { return {CellText::From::Literal, std::move(text), {}}; }
CellText FieldText(std::string key, std::string suffix) {
    return {CellText::From::Field, std::move(key), std::move(suffix)};
}
CellText Caption(std::string label, std::string suffix) {
    return {CellText::From::Caption, std::move(label), std::move(suffix)};
}
CellText FeeText(std::string key, std::string suffix) {
    return {CellText::From::Fee, std::move(key), std::move(suffix)};
}
CellText Amount(std::string key) { return FeeText(std::move(key), " €"); }
CellText Computed(std::function<std::string(forms::Form&)> compute) {
    return {CellText::From::Computed, {}, {}, std::move(compute)};
}

Restore IntoText(std::string key) { return {Restore::Into::Text, std::move(key), 0, 0, {}}; }
Restore IntoCaption(std::string label) { return {Restore::Into::Caption, std::move(label), 0, 0, {}}; }
Restore IntoNumber(std::string key, int16_t width, int16_t decimals) {
    return {Restore::Into::Number, std::move(key), width, decimals, {}};
}
Restore IntoRule(std::function<void(forms::Form&, const std::string&)> apply) {
    return {Restore::Into::Rule, {}, 0, 0, std::move(apply)};
}

}  // namespace honora
