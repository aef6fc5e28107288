// Installs Qt's German translation (package qt6-translations-l10n on Debian).
#include "QtGermanTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace rt {

bool installGermanTranslation(QCoreApplication& application) {
    // Owned by the application, so it lives exactly as long as the buttons it names.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace rt
