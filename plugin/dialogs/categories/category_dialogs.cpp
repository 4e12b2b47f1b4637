#include "plugin/dialogs/categories/category_dialogs.h"

#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"

namespace honora {

void RegisterCategoryDialogs() { RegisterCategory(0, kat5::Kategorie); }

}  // namespace honora
