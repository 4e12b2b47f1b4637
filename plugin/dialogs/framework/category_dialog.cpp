#include "plugin/dialogs/framework/category_dialog.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "plugin/common/icon_form.h"
#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/framework/category_check.h"
#include "plugin/dialogs/framework/fee_check.h"
#include "plugin/dialogs/framework/fee_content.h"
#include "plugin/dialogs/framework/fee_table_frame.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/dialogs/framework/read_back.h"
#include "plugin/dialogs/framework/recalculation.h"
#include "plugin/invoice/kv_word_auto.h"

#ifndef KADO_REVISION
#define KADO_REVISION 0
#endif

namespace honora {

namespace forms = kado::forms;

namespace {

// Mouse pointer for the window's whole form.
void Pointer(forms::Form& form, forms::MousePointer p) { form.SetMousePointer(p); }

}  // namespace

int ComponentRevision() { return KADO_REVISION; }

CategoryDialog::CategoryDialog(Category category) : category_(std::move(category)) {}

CategoryDialog::~CategoryDialog() {
    // The form's handlers refer to this dialog; they must not outlive it.
    if (form_ && form_->Loaded()) Steps::Quiet([&] { form_->Unload(); });
}

forms::Form& CategoryDialog::GetForm() {
    if (!form_) form_ = forms::Form::Create(SessionDesktop(), category_.name, [this](forms::Form& f) { Design(f); });
    return *form_;
}

void CategoryDialog::ShowModeless() { GetForm().Show(false); }

bool CategoryDialog::IsOpen() const { return form_ && form_->Loaded(); }

void CategoryDialog::Design(forms::Form& form) {
    form.SetCaption(category_.caption);
    if (category_.design) category_.design(form);

    for (auto* c : form.Controls()) {
        if (auto* box = dynamic_cast<forms::MaskEdBox*>(c)) {
            box->OnGotFocus([box] {
                FieldSelection selection(*box);
                TextMarkieren(selection);
            });
        }
    }
    if (category_.features.commaRule) {
        auto& basis = form.Get<forms::MaskEdBox>(ctl::kBezug);
        basis.OnKeyPress([&basis](int& keyCode) { Steps::Quiet([&] { CommaRuleOf(basis, keyCode); }); });
    }
    if (category_.features.valueFactor) {
        form.Get<forms::MaskEdBox>(ctl::kBoden).OnLostFocus([this] {
            Steps s("Rechnung", "mskBoden");
            if (!s(100, [&] { SetValueFactor(*form_); })) return;
            s(110, [&] { GebührBerechnen(); });
        });
    }
    if (category_.features.classificationFactor) {
        // A throw must not reach the window system; logged under the dialog.
        form.Get<forms::ComboBox>(ctl::kKlassifizierung).OnLostFocus([this] {
            Steps s(category_.name, "cmbKlassifizierung_LostFocus");
            if (!s(100, [&] { SetClassificationFactor(*form_); })) return;
            s(110, [&] { GebührBerechnen(); });
        });
    }
    for (const auto& t : category_.recalcOnLeave)
        form.ItemByKey(t.key).OnLostFocus([this, t] { HandleTrigger(t, "_LostFocus"); });
    for (const auto& t : category_.recalcOnClick)
        form.ItemByKey(t.key).OnClick([this, t] { HandleTrigger(t, "_Click"); });

    form.Get<forms::CommandButton>(ctl::kEnde).OnClick([this] { CommandEnde_Click(); });
    form.Get<forms::CommandButton>(ctl::kAbbruch).OnClick([this] { form_->Unload(); });

    form.OnLoad([this] { Form_Load(); });
    form.OnUnload([this] {
        feeTable_ = {};
        fees_ = {};
    });
}

void CategoryDialog::HandleTrigger(const Trigger& trigger, const char* event) {
    const auto [module, procedure] = LogPlace(category_, trigger, event);
    Steps s(module, procedure);
    if (trigger.before && !s(90, [&] { trigger.before(*form_); })) return;
    s(100, [&] { GebührBerechnen(); });
}

// A failed fee rule leaves the controls as they were, so its last record still matches them.
void CategoryDialog::GebührBerechnen() {
    if (auto fees = honora::GebührBerechnen(category_, *form_)) fees_ = std::move(*fees);
}

void CategoryDialog::Form_Load() {
    Steps s(category_.name, "Form_Load");
    forms::Form& form = *form_;
    auto recalculate = [&] { GebührBerechnen(); };
    auto startValues = [&] {
        if (category_.StartwerteSetzen) category_.StartwerteSetzen(form);
    };
    s(100, [&] { form.SetIcon(ComponentIcon()); });
    s(110, [&] { form.Get<forms::Label>(ctl::kVersion).SetCaption("V " + std::to_string(ComponentRevision())); });
    s(120, [&] { form.Get<forms::CommandButton>(ctl::kEnde).SetPicture(ButtonPicture("OK")); });
    s(130, [&] { form.Get<forms::CommandButton>(ctl::kAbbruch).SetPicture(ButtonPicture("Abbruch")); });
    s(140, [&] { form.Get<forms::MaskEdBox>(ctl::kBezug).SetText("1000,00"); });
    s(150, [&] { feeTable_ = TabelleErmitteln(category_.marker, 0); });
    s(160, [&] { Pointer(form, forms::MousePointer::Hourglass); });
    if (category_.startValuesAlways) s(170, startValues);
    if (feeTable_) {
        s(180, [&] { TabelleEinlesen(category_.rows, form, feeTable_); });
        s(190, recalculate);
    } else {
        if (!category_.startValuesAlways) s(200, startValues);
        s(210, recalculate);
    }
    s(220, [&] { Pointer(form, forms::MousePointer::Default); });
    s(230, [&] { forms::SetParent(form, Session().hWndMDI); });
    // MDI child (0x40) with a raised edge (0x100), inside the host's document area.
    s(240, [&] { forms::SetWindowLongA(form, forms::GWL_EXSTYLE, 0x140); });
}

// One procedure for the log, numbered in the order it runs: the frame's steps
// here, the document's from 120 to 280 (WriteFeeTable) and the
// reads of the content from 1000 (FeeTableOf).
void CategoryDialog::CommandEnde_Click() {
    Steps s(category_.name, "CommandEnde_Click");
    forms::Form& form = *form_;
    std::optional<FeeTable> content;
    s(100, [&] { Pointer(form, forms::MousePointer::Hourglass); });
    s(110, [&] { content = FeeTableOf(category_, form, fees_); });
    // A fee below zero is never billed: the user is told which counts to
    // mend, the document and the record stay as they were, the dialog open.
    std::string contradiction;
    if (content) s(112, [&] { contradiction = Contradiction(category_, form, fees_, *content); });
    if (!contradiction.empty()) {
        s(114, [&] { ShowHint(contradiction); });
        s(116, [&] { Pointer(form, forms::MousePointer::Default); });
        return;
    }
    // Without its content there is nothing sound to write; the old table stays.
    if (content) WriteFeeTable(category_, *content, feeTable_);
    s(290, [&] { Pointer(form, forms::MousePointer::Default); });
    s(300, [&] { form.Unload(); });
}

void RegisterCategory(int16_t index, std::function<Category()> category) {
    if (const auto defects = Defects(category()); !defects.empty()) {
        std::string text = "category not registered:";
        for (const auto& d : defects) text += "\n  " + d;
        throw std::logic_error(text);
    }
    RegisterDialog(index, [category = std::move(category)]() -> std::shared_ptr<ModelessDialog> {
        return std::make_shared<CategoryDialog>(category());
    });
}

}  // namespace honora
