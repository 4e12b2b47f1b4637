#include "plugin/dialogs/framework/design_kit.h"

namespace honora {

namespace forms = kado::forms;

forms::Label& AddCaption(forms::Form& form, const std::string& name, int index, const std::string& caption,
                         forms::GridPlace at, const std::string& container) {
    auto& l = form.Add<forms::Label>(name, at, index, container);
    l.SetCaption(caption);
    return l;
}

forms::Label& AddAmount(forms::Form& form, const std::string& name, const std::string& start, forms::GridPlace at,
                        const std::string& container) {
    auto& l = form.Add<forms::Label>(name, at, -1, container);
    l.SetCaption(start);
    l.SetAlignment(forms::Alignment::Right);
    l.SetWidthChars(9);
    return l;
}

forms::MaskEdBox& AddMasked(forms::Form& form, const std::string& name, const std::string& mask, forms::GridPlace at,
                            const std::string& container) {
    auto& m = form.Add<forms::MaskEdBox>(name, at, -1, container);
    m.SetMask(mask);
    m.SetWidthChars(static_cast<int>(mask.size()) + 1);
    return m;
}

forms::TextBox& AddText(forms::Form& form, const std::string& name, forms::GridPlace at,
                        const std::string& container) {
    auto& t = form.Add<forms::TextBox>(name, at, -1, container);
    t.SetWidthChars(30);
    return t;
}

}  // namespace honora
