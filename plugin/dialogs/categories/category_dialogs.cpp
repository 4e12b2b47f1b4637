#include "plugin/dialogs/categories/category_dialogs.h"

#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"

namespace honora {

// Show's indexes count the categories backwards.
void RegisterCategoryDialogs() {
    RegisterCategory(0, kat5::Kategorie);
    RegisterCategory(1, kat4::Kategorie);
    RegisterCategory(2, kat3::Kategorie);
    RegisterCategory(3, kat2::Kategorie);
    RegisterCategory(4, kat1::Kategorie);
}

}  // namespace honora
