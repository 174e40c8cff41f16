#pragma once

#include <QTranslator>

namespace gaisan {

/// Japanese for the texts of Qt's print dialog that Qt's own Japanese translation lacks (the
/// pages box, double-sided printing, the printer's advanced options and the messages about
/// them), so that a teacher never meets an English word on the way to paper. Installed after
/// Qt's translation, it is asked first and answers only for those texts.
///
/// A table in code rather than a .ts file compiled by lrelease: it is a dozen texts, lrelease
/// would make Qt's Linguist tools (and LLVM, which they bring) a build dependency, and a file
/// the program must find at run time could be missing where the table cannot.
class QtTextsInJapanese final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

}  // namespace gaisan
