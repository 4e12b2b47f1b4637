// Makes the category dialogs known to Show: whoever loads the component
// (its entry point, the stand-in host, a test) calls this once.
#pragma once

namespace honora {

// Show index 0 opens frmKat5 (Grenzfeststellung).
void RegisterCategoryDialogs();

}  // namespace honora
