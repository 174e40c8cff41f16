#include "kit/MessageTexts.h"

#include "base/SoundCues.h"
#include "kit/QtConversions.h"
#include "platform/Failure.h"

namespace gaisan {
namespace {

/// "「name」…" with where the file is and what is wrong with it.
QString fileProblemText(const Failure& failure, const QString& sentence) {
    return sentence.arg(QString::fromStdString(failure.file.filename().string())) +
           QStringLiteral("\n\n場所：%1\n問題：%2")
               .arg(QString::fromStdString(failure.file.string()),
                    QString::fromStdString(failure.problem));
}

}  // namespace

MessageText unusableConfigurationText(const Failure& failure) {
    return {QStringLiteral("設定ファイルのエラー"),
            fileProblemText(failure, QStringLiteral("設定ファイル「%1」を使えないため、"
                                                    "プログラムを終了します。"))};
}

MessageText unusableFileText(const Failure& failure) {
    return {QStringLiteral("ファイルのエラー"),
            fileProblemText(failure, QStringLiteral("「%1」を使えません。"))};
}

MessageText skippedRosterEntriesText(const std::filesystem::path& rosterFile,
                                     const std::vector<std::string>& sentences) {
    QString text = QStringLiteral("「%1」の次の行の生徒は名前の一覧に出ません。\n\n場所：%2")
                       .arg(QString::fromStdString(rosterFile.filename().string()),
                            QString::fromStdString(rosterFile.string()));
    for (const std::string& sentence : sentences) text += QLatin1Char('\n') + toQString(sentence);
    return {QStringLiteral("名簿の確認"), text};
}

MessageText sharingWarningText(const std::string& warning) {
    return {QStringLiteral("共有フォルダの確認"), toQString(warning)};
}

MessageText printFailureText() {
    return {QStringLiteral("印刷のエラー"),
            QStringLiteral(
                "印刷を始められませんでした。プリンターかファイルの保存先を確かめてください。")};
}

MessageText soundLostText(const std::string& errorText) {
    return {QStringLiteral("音声エラー"), toQString(soundLostMessage(errorText))};
}

MessageText resultsFileText(const std::string& subjectTitle, const std::string& message,
                            const std::filesystem::path& resultsFile) {
    return {toQString(subjectTitle), toQString(message) + QStringLiteral("\n\n場所：") +
                                         QString::fromStdString(resultsFile.string())};
}

MessageText sharedFileProblemsText(const std::vector<std::string>& problems) {
    QString text = QStringLiteral(
        "成績ファイルの共有かバックアップに問題があります。ほかのユーザーが記録できないか、"
        "記録のバックアップが作られていません。コンピュータの管理者に伝えてください。\n");
    for (const std::string& problem : problems) text += QLatin1Char('\n') + toQString(problem);
    return {QStringLiteral("共有フォルダの確認"), text};
}

}  // namespace gaisan
