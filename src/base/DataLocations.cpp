#include "base/DataLocations.h"

#include "base/FilePlaces.h"

namespace gaisan {
namespace {

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::filesystem::path withoutTrailingSeparator(const std::filesystem::path& folder) {
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

DataLocations DataLocations::ofProgramFolder(const std::filesystem::path& programFolder) {
    DataLocations locations;
    locations.ProgramFolder = withTrailingSeparator(programFolder.string());
    locations.ProgramFolderName = programFolderNameOf(locations.ProgramFolder);
    return locations;
}

void DataLocations::setDataRoot(const std::filesystem::path& dataRoot) {
    DataRoot = withTrailingSeparator(dataRoot.string());
    ProgramDataFolder = DataRoot + ProgramFolderName + "/";
    SoundFolder = DataRoot + "音フォルダ/";
}

DataLocations DataLocations::ofProgramDataFolder(const std::filesystem::path& folder) {
    std::filesystem::path named = withoutTrailingSeparator(folder);
    // "." or ".." has no name of its own to keep nor a parent to take: the folder it stands
    // for has both.
    if (named.filename() == "." || named.filename() == "..") {
        std::error_code error;
        std::filesystem::path resolved = std::filesystem::weakly_canonical(named, error);
        if (!error) named = std::move(resolved);
    }
    DataLocations locations;
    locations.ProgramFolderName = named.filename().string();
    locations.setDataRoot(named.has_parent_path() ? named.parent_path() : ".");
    return locations;
}

DataLocations DataLocations::ofDataRoot(const std::filesystem::path& dataRoot) {
    DataLocations locations;
    locations.setDataRoot(dataRoot);
    return locations;
}

std::filesystem::path DataLocations::pathDataFile() const {
    return (std::filesystem::path(ProgramFolder) / ".." / "パスデータ.txt").lexically_normal();
}

std::filesystem::path DataLocations::launcherProgram() const {
    return std::filesystem::path(ProgramFolder) / ".." / "起動" / "プログラムメニューc.exe";
}

std::filesystem::path DataLocations::commonSettingsFile() const {
    return DataRoot + "共通データ.txt";
}

std::filesystem::path DataLocations::rosterFile() const { return DataRoot + "新名簿.txt"; }

std::filesystem::path DataLocations::soundTableFile() const {
    return SoundFolder + "新音ファイル.txt";
}

std::filesystem::path DataLocations::soundFile(const std::string& name) const {
    return SoundFolder + name;
}

std::filesystem::path DataLocations::criteriaFile() const {
    return ProgramDataFolder + "タイム回数データ.txt";
}

std::filesystem::path DataLocations::criteriaCopiesFolder() const {
    return criteriaCopiesFolderOf(criteriaFile());
}

std::filesystem::path DataLocations::passcodeFile() const {
    return ProgramDataFolder + "先生パスコード.txt";
}

std::filesystem::path DataLocations::passcodeTriesFile() const {
    return ProgramDataFolder + "先生パスコード失敗回数.txt";
}

std::filesystem::path DataLocations::classroomCodeFile() const {
    return ProgramDataFolder + "ブラウザ教室コード.txt";
}

std::filesystem::path DataLocations::resultsFile() const {
    return ProgramDataFolder + "成績累積データ.dat";
}

std::filesystem::path DataLocations::backupFolder() const { return backupFolderOf(resultsFile()); }

std::filesystem::path DataLocations::deleteJournalFile() const {
    return deleteJournalPathOf(resultsFile());
}

std::filesystem::path DataLocations::answersFolder(int schoolYear) const {
    return answersFolderOf(resultsFile(), schoolYear);
}

std::string programFolderNameOf(std::string_view folder) {
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) {
        folder.remove_suffix(1);
    }
    const std::size_t separator = folder.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? folder : folder.substr(separator + 1));
}

}  // namespace gaisan
