// Qt's own texts in German (file dialogs, key names in menus, standard
// buttons), from the translations the distribution ships with Qt.
#pragma once

#include <QString>

class QCoreApplication;

namespace kado::qtview {

// Makes German the default locale and installs Qt's German catalogue in `app`.
// Returns the catalogue's path, empty when none was found (Qt stays English).
QString InstallGermanTranslations(QCoreApplication& app);

}  // namespace kado::qtview
