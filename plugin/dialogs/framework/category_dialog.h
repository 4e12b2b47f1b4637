// The one frame of every category dialog: load sequence, shared input rules,
// confirmation and cancel, as a modeless dialog Show can open.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// The revision of the component's version, shown as "V 47".
int ComponentRevision();

// A category unit builds its Category and registers it, for example:
//   Category k{};  k.name = "frmKat5"; k.marker = "Honora_5"; k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
//   k.design = [](kado::forms::Form& f) { ...its controls...; AddFrameControls(f, places); };
//   k.feeRule = ...inputs to fees (fee_record.h)...; k.rows = ...its fee table (fee_rows.h)...;
//   k.features = {.valueFactor = true};
//   k.recalcOnLeave = {{"mskAGPo"}, {"mskAGP"}}; k.recalcOnClick = {{"optNr(0)"}, {"optNr(3)"}};
//   RegisterCategory(0, [] { return Grenzfeststellung(); });
// The frame wires select-all on every masked field, the comma key of mskBezug,
// the factors the features name, CommandEnde and CommandAbbruch.
class CategoryDialog : public ModelessDialog {
public:
    explicit CategoryDialog(Category category);
    ~CategoryDialog() override;
    CategoryDialog(const CategoryDialog&) = delete;
    CategoryDialog& operator=(const CategoryDialog&) = delete;

    // Loads the form (its load sequence runs) and shows it, or brings it to the front.
    void ShowModeless() override;
    bool IsOpen() const override;

    // The form on the session's desktop; created, not loaded, on first use.
    kado::forms::Form& GetForm();
    const Category& GetCategory() const noexcept { return category_; }
    // The earlier fee table found at load, which the confirmation replaces.
    const kado::word::Table& CurrentTable() const noexcept { return feeTable_; }
    // The fees of the last recalculation: what the dialog shows and OK writes.
    const FeeRecord& Fees() const noexcept { return fees_; }

private:
    void Design(kado::forms::Form& form);
    void Form_Load();
    void CommandEnde_Click();
    void HandleTrigger(const Trigger& trigger, const char* event);
    void GebührBerechnen();

    Category category_;
    std::shared_ptr<kado::forms::Form> form_;
    kado::word::Table feeTable_;
    FeeRecord fees_;
};

// Registers the category's dialog for Show's index; each Show after an unload
// gets a fresh dialog built from the category. A category that fails its
// check (category_check.h) is refused with std::logic_error.
void RegisterCategory(int16_t index, std::function<Category()> category);

}  // namespace honora
