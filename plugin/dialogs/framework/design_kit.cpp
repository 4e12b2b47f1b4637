#include "plugin/dialogs/framework/design_kit.h"

namespace honora {

namespace forms = kado::forms;

forms::Label& AddCaption(forms::Form& form, const std::string& name, int index, const std::string& caption,
                         forms::GridPlace at, const std::string& container) {
    auto& l = form.Add<forms::Label>(name, at, index, container);
    l.SetCaption(caption);
    return l;
}

forms::Label& AsAmount(forms::Label& label) {
    label.SetAlignment(forms::Alignment::Right);
    label.SetFixedPitch(true);
    // Fees run to "-12345,00"; the view keeps the column at least this wide.
    label.SetWidthChars(9);
    return label;
}

forms::Label& AddAmount(forms::Form& form, const std::string& name, const std::string& start, forms::GridPlace at,
                        const std::string& container) {
    return AsAmount(AddCaption(form, name, -1, start, at, container));
}

forms::MaskEdBox& AddMasked(forms::Form& form, const std::string& name, const std::string& mask, forms::GridPlace at,
                            const std::string& container) {
    auto& m = form.Add<forms::MaskEdBox>(name, at, -1, container);
    m.SetMask(mask);
    return m;
}

forms::TextBox& AddText(forms::Form& form, const std::string& name, forms::GridPlace at,
                        const std::string& container) {
    auto& t = form.Add<forms::TextBox>(name, at, -1, container);
    t.SetWidthChars(30);
    return t;
}

forms::Label& CaptionArray::operator()(const std::string& caption, forms::GridPlace at, const std::string& container) {
    return AddCaption(form_, name_, next_++, caption, at, container);
}

void AddItemHeadings(CaptionArray& captions, int row) {
    captions("Anzahl", {row, 3});
    captions("Einzelgebühr", {row, 4}).SetAlignment(forms::Alignment::Right);
    captions("Gebühr", {row, 5}).SetAlignment(forms::Alignment::Right);
}

void AddItemRow(forms::Form& form, CaptionArray& captions, const FeeItem& item, const char* number,
                const char* caption, int row) {
    captions(number ? number : item.item.number, {row, 0});
    captions(caption, {row, 1});
    if (item.description) AddText(form, item.description, {row, 2});
    AddMasked(form, item.count, "####", {row, 3});
    AsAmount(captions(UnitCaption(item.item.unitFee), {row, 4}));
    AddAmount(form, item.label, "0,00", {row, 5});
}

}  // namespace honora
