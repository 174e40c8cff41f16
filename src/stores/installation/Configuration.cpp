#include "stores/installation/Configuration.h"

#include "stores/installation/DataFolder.h"

#include <vector>

#include "platform/ItemReader.h"
#include "platform/Numbers.h"
#include "platform/Utf8.h"

namespace gaisan {
namespace {

constexpr int kSuiteFileItems = 10;

/// The ten items of a file of the suite, of which the program uses the first few; a file of
/// fewer is refused as ItemReader::next refuses a read past the end.
Expected<std::vector<Item>> suiteFileItems(const std::filesystem::path& file) {
    Expected<ItemReader> reader = ItemReader::openFile(file);
    if (!reader) return Unexpected(reader.error());
    std::vector<Item> items;
    for (int item = 1; item <= kSuiteFileItems; ++item) {
        Expected<Item> next = reader->next();
        if (!next) return Unexpected(next.error());
        items.push_back(std::move(*next));
    }
    return items;
}

/// The data root named by item 1 of "パスデータ.txt". The file names it as a full path; a relative
/// one is taken from the suite folder that holds the file, never from wherever the program was
/// started.
Expected<std::filesystem::path> readDataRoot(const std::filesystem::path& suiteFile) {
    const Expected<std::vector<Item>> items = suiteFileItems(suiteFile);
    if (!items) return Unexpected(items.error());
    const std::string& root = (*items)[0].text;
    if (root.empty()) {
        return Unexpected(Failure{suiteFile, "1番目の項目（データフォルダの場所）が空です。"});
    }
    std::filesystem::path rootPath(root);
    if (rootPath.is_relative()) rootPath = suiteFile.parent_path() / rootPath;
    return rootPath.lexically_normal();
}

}  // namespace

Expected<CommonConfiguration> readCommonConfiguration(const std::filesystem::path& file) {
    const Expected<std::vector<Item>> items = suiteFileItems(file);
    if (!items) return Unexpected(items.error());
    const Item& month = (*items)[0];
    const Item& school = (*items)[1];
    const Item& option = (*items)[2];

    const std::optional<double> monthNumber = parseNumber(month.text);
    if (!monthNumber || *monthNumber < 1 || *monthNumber > 12 ||
        *monthNumber != static_cast<int>(*monthNumber)) {
        return Unexpected(Failure{file,
                                  "1番目の項目（学年の変わる月）は1から12の数でなければなりません"
                                  "が、「" +
                                      month.text + "」です。"});
    }
    CommonConfiguration common;
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

Expected<void> LoadConfiguration(AppState& state, const std::filesystem::path& programFolder) {
    state.locations = DataLocations::ofProgramFolder(programFolder);
    const Expected<std::filesystem::path> dataRoot = readDataRoot(state.locations.pathDataFile());
    if (!dataRoot) return Unexpected(dataRoot.error());
    state.locations.setDataRoot(*dataRoot);
    if (auto loaded = loadSettingsAndCriteria(state); !loaded) return loaded;
    const std::filesystem::path soundTable = state.locations.soundTableFile();
    if (auto loaded = LoadSoundTable(soundTable, state.sounds); !loaded) return loaded;
    return checkPlayedCues(soundTable, state.sounds);
}

}  // namespace gaisan
