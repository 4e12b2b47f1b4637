#include "platform/qt/german.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kado::qtview {

QString InstallGermanTranslations(QCoreApplication& app) {
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    // Debian's qt6-translations-l10n puts the catalogues where Qt looks for them.
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QStringLiteral("/usr/share/qt6/translations")};
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&app);
        if (translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            app.installTranslator(translator);
            return translator->filePath();
        }
        delete translator;
    }
    return {};
}

}  // namespace kado::qtview
