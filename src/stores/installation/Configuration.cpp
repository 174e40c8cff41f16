#include "stores/installation/Configuration.h"

#include "stores/installation/DataFolder.h"

#include "platform/DataFileError.h"
#include "platform/ItemReader.h"
#include "platform/Numbers.h"
#include "platform/Utf8.h"

namespace gaisan {
namespace {

constexpr int kSuiteFileItems = 10;

/// The data root named by item 1 of "パスデータ.txt". The file names it as a full path; a relative
/// one is taken from the suite folder that holds the file, never from wherever the program was
/// started.
std::filesystem::path readDataRoot(const std::filesystem::path& suiteFile) {
    ItemReader reader = ItemReader::openFile(suiteFile);
    const std::string root = reader.next().text;
    for (int item = 2; item <= kSuiteFileItems; ++item) reader.next();
    if (root.empty()) {
        throw DataFileError(suiteFile, "1番目の項目（データフォルダの場所）が空です。");
    }
    std::filesystem::path rootPath(root);
    if (rootPath.is_relative()) rootPath = suiteFile.parent_path() / rootPath;
    return rootPath.lexically_normal();
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
        throw DataFileError(file,
                            "1番目の項目（学年の変わる月）は1から12の数でなければなりません"
                            "が、「" +
                                month.text + "」です。");
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

void LoadConfiguration(AppState& state, const std::filesystem::path& programFolder) {
    state.locations = DataLocations::ofProgramFolder(programFolder);
    state.locations.setDataRoot(readDataRoot(state.locations.pathDataFile()));
    loadSettingsAndCriteria(state);
    const std::filesystem::path soundTable = state.locations.soundTableFile();
    LoadSoundTable(soundTable, state.sounds);
    checkPlayedCues(soundTable, state.sounds);
}

}  // namespace gaisan
