#include "rules/admin/PasscodeTries.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rules/admin/PasscodeQuestion.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

using testing::FakeClock;
using testing::readBytes;
using testing::TempFolder;

constexpr const char* kCountName = "先生パスコード失敗回数.txt";

// Nothing is checked during a wait, so these tests need no real hash.
const StoredPasscode kSet{StoredPasscode::State::Set, "$argon2id$not checked", {}};

void wrongTimes(PasscodeTries& tries, int times) {
    for (int i = 0; i < times; ++i) tries.wrong();
}

TEST(PasscodeTriesTest, AreKeptInTheSharedDataFolderSoThatAStartAgainGivesNoFreshTries) {
    TempFolder folder;
    const auto shared = folder / "gaisan";
    std::filesystem::create_directory(shared);
    std::filesystem::permissions(shared, std::filesystem::perms::all);
    const auto file = shared / kCountName;
    FakeClock clock({2026, 12, 10}, 9 * 3600.0);
    {
        PasscodeTries tries(clock, file);
        tries.refresh();
        const mode_t old = ::umask(077);
        wrongTimes(tries, 2);
        ::umask(old);
        EXPECT_EQ(tries.triesLeft(), 1);
    }
    EXPECT_EQ(readBytes(file), "2\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0666u) << "the next user must be able to replace it";

    PasscodeTries startedAgain(clock, file);
    startedAgain.refresh();
    EXPECT_EQ(startedAgain.triesLeft(), 1);
    startedAgain.wrong();
    EXPECT_EQ(startedAgain.secondsToWait(), 60);
    EXPECT_EQ(readBytes(file), "3\r\n2026-12-10 09:00:00\r\n");

    clock.advanceSeconds(20);
    PasscodeTries thirdStart(clock, file);
    const PasscodeOutcome waiting = tryPasscode(kSet, thirdStart, "sakura3");
    EXPECT_EQ(waiting.kind, PasscodeOutcome::Kind::MustWait);
    EXPECT_EQ(waiting.secondsToWait, 40);
    EXPECT_TRUE(waiting.countProblem.empty()) << waiting.countProblem;

    clock.advanceSeconds(40);
    thirdStart.refresh();
    EXPECT_EQ(thirdStart.secondsToWait(), 0);
    EXPECT_EQ(thirdStart.triesLeft(), 3);
    thirdStart.wrong();
    EXPECT_EQ(readBytes(file), "1\r\n");
    const std::string problem = thirdStart.right();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(problem.empty()) << problem;
}

// Each machine of the classroom has a clock of its own, a little ahead or behind.
TEST(PasscodeTriesTest, AreSharedByTheMachinesWhateverTheirClocksSay) {
    TempFolder folder;
    const auto file = folder / kCountName;
    FakeClock clockA({2026, 12, 10}, 9 * 3600.0);
    FakeClock clockB({2026, 12, 10}, 9 * 3600.0 + 5);
    PasscodeTries onA(clockA, file);
    PasscodeTries onB(clockB, file);

    onA.wrong();
    onB.wrong();
    onB.refresh();
    EXPECT_EQ(onB.triesLeft(), 1);
    onA.wrong();
    EXPECT_EQ(onA.secondsToWait(), 60);
    onB.refresh();
    EXPECT_EQ(onB.secondsToWait(), 55) << "B's clock says five of the sixty seconds are gone";
    onB.wrong();
    EXPECT_EQ(readBytes(file), "3\r\n2026-12-10 09:00:00\r\n") << "nothing counted while waiting";

    // A clock an hour behind the one that began the wait must not stretch it to an hour.
    FakeClock behind({2026, 12, 10}, 8 * 3600.0);
    PasscodeTries onC(behind, file);
    onC.refresh();
    EXPECT_EQ(onC.secondsToWait(), 60);
    behind.advanceSeconds(60);
    onC.refresh();
    EXPECT_EQ(onC.secondsToWait(), 0);
    EXPECT_EQ(onC.triesLeft(), 3);

    // Setting the clock a day on does not end a wait that a running program counts already.
    clockA.advanceDays(1);
    onA.refresh();
    EXPECT_EQ(onA.secondsToWait(), 60);
}

// Spoiling the count file must not give fresh tries, nor lock the teacher out for good.
TEST(PasscodeTriesTest, ACountThatCannotBeReadWaitsAMinuteThenCountsAgain) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty", ""},
        {"a count beyond three", "4\r\n"},
        {"three without the time the wait began", "3\r\n"},
        {"a time with fewer than three", "2\r\n2026-12-10 09:00:00\r\n"},
        {"a day that does not exist", "3\r\n2026-02-31 09:00:00\r\n"},
        {"text", "abc\r\n"},
        {"one huge line", std::string(100'000, '3')},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const auto file = folder.writeBytes(kCountName, c.bytes);
        FakeClock clock;
        PasscodeTries tries(clock, file);
        const PasscodeOutcome outcome = tryPasscode(kSet, tries, "sakura3");
        EXPECT_EQ(outcome.kind, PasscodeOutcome::Kind::MustWait) << c.name;
        EXPECT_EQ(outcome.secondsToWait, 60) << c.name;
        const std::string text = passcodeOutcomeText(outcome);
        EXPECT_TRUE(
            text.starts_with("まだ入れられません。あと60秒待ってください\n"
                             "まちがえた回数の記録を読めません："))
            << c.name << ": " << text;
        EXPECT_NE(text.find(file.string()), std::string::npos) << c.name << ": " << text;

        clock.advanceSeconds(60);
        tries.refresh();
        EXPECT_EQ(tries.triesLeft(), 3) << c.name;
        const std::string problem = tries.wrong();
        EXPECT_EQ(readBytes(file), "1\r\n") << c.name << ": written whole again";
        EXPECT_TRUE(problem.empty()) << c.name << ": " << problem;
    }
}

// A folder in the file's place can be neither read nor replaced: the program counts the tries
// itself, says why, and every start of the program waits a minute, never longer.
TEST(PasscodeTriesTest, ACountThatCannotBeWrittenStillCountsForTheProgramsRun) {
    TempFolder folder;
    const auto file = folder / kCountName;
    std::filesystem::create_directories(file / "something");
    FakeClock clock;
    PasscodeTries tries(clock, file);
    tries.refresh();
    EXPECT_EQ(tries.secondsToWait(), 60);
    clock.advanceSeconds(60);

    const std::string problem = tries.wrong();
    EXPECT_EQ(tries.triesLeft(), 2);
    EXPECT_TRUE(problem.starts_with("まちがえた回数を記録できません：")) << problem;
    const PasscodeOutcome outcome{PasscodeOutcome::Kind::Wrong, 2, 0, problem};
    EXPECT_EQ(passcodeOutcomeText(outcome), "パスコードがちがいます（あと2回）\n" + problem);
    wrongTimes(tries, 2);
    EXPECT_EQ(tries.secondsToWait(), 60);

    PasscodeTries startedAgain(clock, file);
    startedAgain.refresh();
    EXPECT_EQ(startedAgain.secondsToWait(), 60);
    clock.advanceSeconds(60);
    EXPECT_EQ(startedAgain.triesLeft(), 3);
}

}  // namespace
}  // namespace gaisan
