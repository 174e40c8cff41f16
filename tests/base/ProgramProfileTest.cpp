#include "base/ProgramProfile.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

TEST(ProgramProfile, TheTitleOpensEveryLevel) {
    ProgramProfile profile;
    ApplyProfileTitle(profile);
    EXPECT_EQ(profile.SubjectTitle, "概算");
    EXPECT_EQ(profile.AllLevelsOpen, 1);
}

TEST(ProgramProfile, WritesTheLevelTableExactly) {
    ProgramProfile profile;
    ApplyProfileLevels(profile);
    EXPECT_EQ(profile.LevelCount, 4);
    EXPECT_EQ(profile.FinalLevel, 4);
    const struct {
        int level;
        const char* name;
    } names[] = {{1, "レベル１"},     {4, "レベル４"},      {5, "レベル２－１"},
                 {7, "レベル３練習"}, {11, "レベル４－1"},  {12, "レベル４－２"},
                 {20, "レベル７－1"}, {24, "レベル８－２"}, {25, ""}};
    for (const auto& n : names) EXPECT_EQ(profile.LevelNames.at(n.level), n.name) << n.level;
    for (int level = 0; level <= kHighestLevel; ++level) {
        EXPECT_EQ(profile.LevelDefined.at(level), level >= 1 && level <= 24 ? 1 : 0) << level;
    }
}

TEST(ProgramProfile, ASecondLoginRewritesTheSameTable) {
    ProgramProfile once;
    ApplyProfileLevels(once);
    ProgramProfile twice;
    ApplyProfileLevels(twice);
    ApplyProfileLevels(twice);
    EXPECT_EQ(twice.LevelNames, once.LevelNames);
    EXPECT_EQ(twice.LevelDefined, once.LevelDefined);
}

}  // namespace
}  // namespace gaisan
