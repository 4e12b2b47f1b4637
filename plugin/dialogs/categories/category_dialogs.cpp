#include "plugin/dialogs/categories/category_dialogs.h"

#include <array>

#include "plugin/component/honora.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"

namespace honora {

namespace {

// Each category's dialog at its index in kCategories: Show's indexes count the
// categories backwards. A category named there has its entry here.
constexpr auto kCategoryDialogs = std::to_array<Category (*)()>({
    kat5::Definition, kat4::Definition, kat3::Definition, kat2::Definition, kat1::Definition,
});
// Counted, not compared with null: a function's address is no constant where it may be interposed.
static_assert(kCategoryDialogs.size() == kCategories.size(), "every category the published list names has a dialog");

}  // namespace

void RegisterCategoryDialogs() {
    for (size_t i = 0; i < kCategoryDialogs.size(); ++i) RegisterCategory(static_cast<int16_t>(i), kCategoryDialogs[i]);
}

}  // namespace honora
