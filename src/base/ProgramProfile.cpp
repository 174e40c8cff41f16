#include "base/ProgramProfile.h"

#include <array>
#include <string_view>

namespace gaisan {
namespace {

// Levels 1..4 are played; 5..24 exist as names and flags, and tables that walk every defined
// level include them. The names are shown exactly as written here, the half-width "1" that
// ends the names of levels 11 and 20 included.
constexpr std::array<std::string_view, kDefinedLevelCount> kLevelTable = {
    "レベル１",     "レベル２",     "レベル３",     "レベル４",     "レベル２－１", "レベル２－２",
    "レベル３練習", "レベル３－１", "レベル３－２", "レベル４練習", "レベル４－1",  "レベル４－２",
    "レベル５練習", "レベル５－１", "レベル５－２", "レベル６練習", "レベル６－１", "レベル６－２",
    "レベル７練習", "レベル７－1",  "レベル７－２", "レベル８練習", "レベル８－１", "レベル８－２",
};

constexpr int kPlayableLevels = 4;
constexpr int kLastNamedByDefault = 12;

}  // namespace

void ApplyProfileTitle(ProgramProfile& profile) {
    profile.SubjectTitle = "概算";
    profile.AllLevelsOpen = 1;
}

void ApplyProfileLevels(ProgramProfile& profile) {
    profile.LevelCount = kPlayableLevels;
    profile.FinalLevel = profile.LevelCount;
    for (std::size_t i = 0; i < kLevelTable.size(); ++i) {
        profile.LevelNames.at(i + 1) = std::string(kLevelTable[i]);
        profile.LevelDefined.at(i + 1) = 1;
    }
    for (int level = 1; level <= kLastNamedByDefault; ++level) {
        if (profile.LevelNames.at(level).empty()) {
            // Half-width "ﾚﾍﾞﾙ" is deliberate: the suite names an unnamed level so.
            profile.LevelNames.at(level) = "ﾚﾍﾞﾙ" + std::to_string(level);
        }
    }
}

}  // namespace gaisan
