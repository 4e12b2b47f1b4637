#include "plugin/dialogs/framework/category_check.h"

#include <memory>
#include <set>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "plugin/common/steps.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace honora {

namespace forms = kado::forms;

namespace {

class Check {
public:
    Check(const Category& k, forms::Form& form) : k_(k), form_(form) {}

    template <class T>
    void Needs(const std::string& key, const char* what) {
        if (key.empty()) return;
        bool ok = Steps::Quiet([&] {
            forms::Control* c = &form_.ItemByKey(key);
            if constexpr (!std::is_same_v<T, forms::Control>)
                if (!dynamic_cast<T*>(c)) throw std::invalid_argument("kind");
        });
        if (!ok) Fail(std::string(what) + " '" + key + "' is missing from the design");
    }
    // A control an amount can be shown in: a label or a field.
    void NeedsDisplay(const std::string& key) {
        bool ok = Steps::Quiet([&] {
            forms::Control* c = &form_.ItemByKey(key);
            if (!dynamic_cast<forms::Label*>(c) && !dynamic_cast<forms::TextBox*>(c)) throw std::invalid_argument("kind");
        });
        if (!ok) Fail("amount control '" + key + "' is missing from the design");
    }
    void Fail(std::string text) { defects.push_back(k_.name + ": " + std::move(text)); }

    std::vector<std::string> defects;

private:
    const Category& k_;
    forms::Form& form_;
};

void Cells(Check& check, const std::vector<CellSpec>& cells, const FeeRecord& fees, int& payable) {
    for (const auto& cell : cells) {
        if (cell.text.from == CellText::From::Field) check.Needs<forms::Control>(cell.text.value, "field");
        if (cell.text.from == CellText::From::Caption) check.Needs<forms::Label>(cell.text.value, "label");
        if (cell.text.from == CellText::From::Fee && !fees.Has(cell.text.value))
            check.Fail("the fee rule gives no amount '" + cell.text.value + "'");
        if (cell.role == Role::Payable) {
            ++payable;
            if (cell.text.from != CellText::From::Fee) check.Fail("the fee cell must show an amount of the fee rule");
        }
        if (cell.text.from == CellText::From::Computed && !cell.text.compute) check.Fail("a computed cell without its rule");
        if (cell.restore.into == Restore::Into::Rule && !cell.restore.apply) check.Fail("a restore without its rule");
        if (cell.restore.into == Restore::Into::Caption) check.Needs<forms::Label>(cell.restore.key, "label");
        if (cell.restore.into == Restore::Into::Text || cell.restore.into == Restore::Into::Number)
            check.Needs<forms::Control>(cell.restore.key, "field");
        if (cell.column < 1 || cell.column > 5) check.Fail("a cell outside columns 1 to 5");
    }
}

}  // namespace

std::vector<std::string> Defects(const Category& k) {
    if (!k.design) return {k.name + ": no design"};
    auto form = forms::Form::Create(std::make_shared<forms::HeadlessDesktop>(), k.name, k.design);
    Check check(k, *form);
    if (!Steps::Quiet([&] { form->Load(); })) return {k.name + ": the design fails"};

    check.Needs<forms::Label>(ctl::kVersion, "frame control");
    for (const char* key : {ctl::kEnde, ctl::kAbbruch}) check.Needs<forms::CommandButton>(key, "frame control");
    check.Needs<forms::MaskEdBox>(ctl::kBezug, "share field");
    if (k.features.valueFactor) {
        check.Needs<forms::MaskEdBox>(ctl::kBoden, "value factor field");
        check.Needs<forms::Label>(ctl::kFaktor, "value factor label");
    }
    if (k.features.classificationFactor) {
        check.Needs<forms::ComboBox>(ctl::kKlassifizierung, "classification list");
        check.Needs<forms::Label>(ctl::kStrasse, "classification label");
    }
    for (const auto& title : k.rows.titles) check.Needs<forms::Control>(title.selects, "option");
    // The rule on the design's start values: every amount it shows has its control.
    FeeRecord fees;
    if (!k.feeRule) {
        check.Fail("no fee rule");
    } else if (!Steps::Quiet([&] {
                   if (k.inputRule) k.inputRule(*form);
                   fees = k.feeRule(*form);
               })) {
        check.Fail("the fee rule fails on the start values");
    }
    for (const auto& amount : fees.Amounts()) {
        if (amount.shown) check.NeedsDisplay(amount.key);
    }
    int payable = 0;
    for (const auto& block : k.rows.blocks) {
        for (const auto& variant : block.variants) {
            Cells(check, variant.cells, fees, payable);
            check.Needs<forms::Control>(variant.selects, "option");
            for (const auto& cell : variant.cells)
                if (cell.row < 0 || cell.row >= block.height) check.Fail("a cell outside its block");
        }
        if (block.fallback >= static_cast<int>(block.variants.size())) check.Fail("a fallback without its variant");
    }
    if (payable != 1) check.Fail("the rows need exactly one fee cell, not " + std::to_string(payable));

    // Each trigger logs under its own place.
    std::set<std::pair<std::string, std::string>> places;
    auto trigger = [&](const Trigger& t, const char* event) {
        check.Needs<forms::Control>(t.key, "trigger");
        auto place = LogPlace(k, t, event);
        if (!places.insert(place).second) check.Fail("two triggers log as " + place.first + "." + place.second);
    };
    for (const auto& t : k.recalcOnLeave) trigger(t, "_LostFocus");
    for (const auto& t : k.recalcOnClick) trigger(t, "_Click");
    Steps::Quiet([&] { form->Unload(); });
    return std::move(check.defects);
}

}  // namespace honora
