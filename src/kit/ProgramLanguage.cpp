#include "kit/ProgramLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "kit/QtTextsInJapanese.h"

namespace gaisan {

bool applyProgramLanguage() {
    // The file types in the save dialog follow the default locale, not the translation; the
    // buttons and labels need only the translation.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // qtbase holds the texts of every dialog the program opens (widgets, printing, file
    // system); the translators live as long as the application.
    auto* translator = new QTranslator(QCoreApplication::instance());
    const bool qtsLoaded = translator->load(QStringLiteral("qtbase_ja"),
                                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtsLoaded) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
    // Installed last, so asked first: it knows only the texts Qt's translation lacks.
    QCoreApplication::installTranslator(new QtTextsInJapanese(QCoreApplication::instance()));
    return qtsLoaded;
}

}  // namespace gaisan
