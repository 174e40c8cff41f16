#include "app/windows/ProgramLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace gaisan {

bool applyProgramLanguage() {
    // The file types in the save dialog follow the default locale, not the translation; the
    // buttons and labels need only the translation.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // qtbase holds the texts of every dialog the program opens (widgets, printing, file
    // system); the translator lives as long as the application.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace gaisan
