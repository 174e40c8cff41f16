#include "app/Configuration.h"

#include "platform/DataFileError.h"
#include "platform/ItemReader.h"
#include "platform/Numbers.h"
#include "platform/Utf8.h"

namespace gaisan {
namespace {

constexpr int kSuiteFileItems = 10;

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

/// The data root named by item 1 of "パスデータ.txt". The file names it as a full path; a relative
/// one is taken from the suite folder that holds the file, never from wherever the program was
/// started.
std::string readDataRoot(const std::filesystem::path& suiteFile) {
    ItemReader reader = ItemReader::openFile(suiteFile);
    const std::string root = reader.next().text;
    for (int item = 2; item <= kSuiteFileItems; ++item) reader.next();
    if (root.empty()) {
        throw DataFileError(suiteFile, "1番目の項目（データフォルダの場所）が空です。");
    }
    std::filesystem::path rootPath(root);
    if (rootPath.is_relative()) rootPath = suiteFile.parent_path() / rootPath;
    return withTrailingSeparator(rootPath.lexically_normal().string());
}

}  // namespace

CommonConfiguration readCommonConfiguration(const std::filesystem::path& file) {
    CommonConfiguration common;
    ItemReader reader = ItemReader::openFile(file);
    const Item month = reader.next();
    const Item school = reader.next();
    const Item option = reader.next();
    for (int item = 4; item <= kSuiteFileItems; ++item) reader.next();

    const std::optional<double> monthNumber = parseNumber(month.text);
    if (!monthNumber || *monthNumber < 1 || *monthNumber > 12 ||
        *monthNumber != static_cast<int>(*monthNumber)) {
        throw DataFileError(file, "1番目の項目（学年の変わる月）は1から12の数でなければなりません"
                                  "が、「" + month.text + "」です。");
    }
    common.YearChangeMonth = static_cast<int>(*monthNumber);
    SchoolNameAndCode split = splitSchoolCode(school.text);
    common.SchoolName = std::move(split.name);
    common.SchoolCode = std::move(split.code);
    common.RosterOption = leadingNumber(option.text);
    return common;
}

SchoolNameAndCode splitSchoolCode(std::string_view text) {
    constexpr std::size_t kCodeLength = 5;
    const std::string_view prefix = leftCharacters(text, kCodeLength);
    if (leadingNumber(prefix) != 0) {
        return {std::string(charactersAfter(text, kCodeLength)), std::string(prefix)};
    }
    return {std::string(text), std::nullopt};
}

std::string programFolderNameOf(std::string_view folder) {
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) {
        folder.remove_suffix(1);
    }
    const std::size_t separator = folder.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? folder : folder.substr(separator + 1));
}

void LoadConfiguration(AppState& state, const std::filesystem::path& programFolder) {
    DataLocations& locations = state.locations;
    locations.ProgramFolder = withTrailingSeparator(programFolder.string());
    locations.DataRoot = readDataRoot(
        (std::filesystem::path(locations.ProgramFolder) / ".." / "パスデータ.txt").lexically_normal());
    state.common = readCommonConfiguration(std::filesystem::path(locations.DataRoot) / "共通データ.txt");
    locations.ProgramFolderName = programFolderNameOf(locations.ProgramFolder);
    locations.ProgramDataFolder = locations.DataRoot + locations.ProgramFolderName + "/";
    locations.SoundFolder = locations.DataRoot + "音フォルダ/";
    ApplyProfileTitle(state.profile);
    LoadCriteriaTable(locations.ProgramDataFolder + "タイム回数データ.txt", state.criteria,
                      kDefinedLevelCount);
    const std::filesystem::path soundTable = locations.SoundFolder + "新音ファイル.txt";
    LoadSoundTable(soundTable, state.sounds);
    checkPlayedCues(soundTable, state.sounds);
}

}  // namespace gaisan
