// Makes the category dialogs known to Show: whoever loads the component
// (its entry point, the stand-in host, a test) calls this once.
#pragma once

namespace honora {

// Show index 0 opens frmKat5 (Grenzfeststellung), 1 frmKat4 (Gebäudeaufnahme),
// 2 frmKat3 (lang gestreckte Anlagen), 3 frmKat2 (Baulandumlegung), 4 frmKat1 (Zerlegung).
void RegisterCategoryDialogs();

}  // namespace honora
