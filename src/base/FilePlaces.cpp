#include "base/FilePlaces.h"

#include <cstdio>
#include <string>

#include "base/DateTexts.h"

namespace gaisan {
std::filesystem::path answersFolderOf(const std::filesystem::path& resultsFile, int year) {
    return resultsFile.parent_path() / (std::string(kAnswersFolderStem) + std::to_string(year));
}

std::filesystem::path answersFileOf(const std::filesystem::path& resultsFile, int year,
                                    int student) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d", student);
    return answersFolderOf(resultsFile, year) /
           (std::string(kAnswersFileStem) + name + std::string(kAnswersFileExtension));
}

std::filesystem::path answersBackupOf(const std::filesystem::path& resultsFile, int year,
                                      int student, const CivilDate& day) {
    return backupFolderOf(resultsFile) /
           (std::string(kAnswersFolderStem) + std::to_string(year) + "-" + isoDateText(day)) /
           answersFileOf(resultsFile, year, student).filename();
}

std::filesystem::path answersFailureLogOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() / "解答の記録の失敗.txt";
}

std::filesystem::path criteriaCopiesFolderOf(const std::filesystem::path& criteriaFile) {
    return criteriaFile.parent_path() / "基準バックアップ";
}

std::filesystem::path criteriaCopyFileOf(const std::filesystem::path& criteriaFile,
                                         const LocalDateTime& madeAt, int sequence) {
    std::string name = criteriaFile.stem().string() + "-" + fileNameStampText(madeAt);
    if (sequence > 1) {
        name += '-';
        name += std::to_string(sequence);
    }
    return criteriaCopiesFolderOf(criteriaFile) / (name + criteriaFile.extension().string());
}

std::filesystem::path deleteJournalPathOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() /
           (resultsFile.stem().string() + "temp" + resultsFile.extension().string());
}

std::filesystem::path insertJournalPathOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() /
           (resultsFile.stem().string() + "戻しtemp" + resultsFile.extension().string());
}

std::filesystem::path historyFileOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() / "成績変更履歴.dat";
}

std::filesystem::path pendingChangeFileOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() / "成績変更履歴temp.dat";
}

std::filesystem::path backupFolderOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() / "成績バックアップ";
}

std::filesystem::path backupFileOf(const std::filesystem::path& resultsFile, const CivilDate& day) {
    return backupFolderOf(resultsFile) / (resultsFile.stem().string() + "-" + isoDateText(day) +
                                          resultsFile.extension().string());
}

}  // namespace gaisan
