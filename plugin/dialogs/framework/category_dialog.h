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
    const std::optional<kado::word::Table>& Tabelle() const noexcept { return tabelle_; }

private:
    void Design(kado::forms::Form& form);
    void Form_Load();
    void CommandEnde_Click();
    void Recalculate(const Trigger& trigger, const char* event);
    void Rechnen();

    Category category_;
    std::shared_ptr<kado::forms::Form> form_;
    std::optional<kado::word::Table> tabelle_;
};

// Registers the category's dialog for Show's index; each Show after an unload
// gets a fresh dialog built from the category.
void RegisterCategory(int16_t index, std::function<Category()> category);

}  // namespace honora
