#include "stores/installation/Passcode.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
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
using State = StoredPasscode::State;
using Kind = PasscodeOutcome::Kind;

mode_t modeOf(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) throw std::runtime_error("no such file");
    return status.st_mode & 07777;
}

// One hash made for the whole program: each takes a noticeable fraction of a second.
class PasscodeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        writePasscode(*s_folder / "先生パスコード.txt", "sakura3").value();
        s_hash = readBytes(*s_folder / "先生パスコード.txt");
    }
    static void TearDownTestSuite() { delete s_folder; }

    static StoredPasscode stored() { return {State::Set, s_hash.substr(0, s_hash.size() - 2), {}}; }

    static TempFolder* s_folder;
    static std::string s_hash;  ///< the file's bytes, with its line end
};

TempFolder* PasscodeTest::s_folder = nullptr;
std::string PasscodeTest::s_hash;

TEST_F(PasscodeTest, IsKeptAsASaltedSlowHashThatOnlyTheRightPasscodeMatches) {
    EXPECT_EQ(s_hash.find("sakura3"), std::string::npos);
    EXPECT_TRUE(s_hash.starts_with("$argon2id$"));
    EXPECT_TRUE(s_hash.ends_with("\r\n"));

    const StoredPasscode read = readStoredPasscode(*s_folder / "先生パスコード.txt");
    ASSERT_EQ(read.state, State::Set) << read.problem;
    EXPECT_TRUE(passcodeMatches(read.hash, "sakura3"));
    for (const char* wrong : {"", "sakura", "sakura33", "Sakura3", "sakura3\n"}) {
        EXPECT_FALSE(passcodeMatches(read.hash, wrong)) << wrong;
    }

    // The same passcode again gets a new salt, and the new file replaces the old one.
    TempFolder folder;
    const auto file = folder / "先生パスコード.txt";
    ASSERT_TRUE(writePasscode(file, "sakura3"));
    EXPECT_NE(readBytes(file), s_hash);
    ASSERT_TRUE(writePasscode(file, "ume"));
    const StoredPasscode replaced = readStoredPasscode(file);
    EXPECT_TRUE(passcodeMatches(replaced.hash, "ume"));
    EXPECT_FALSE(passcodeMatches(replaced.hash, "sakura3"));
    EXPECT_THROW((void)writePasscode(file, ""), std::invalid_argument);
}

// The passcode box takes no input method, so a passcode must be typable on the keyboard alone.
TEST_F(PasscodeTest, OnlyWhatThePasscodeBoxCanTakeIsSet) {
    using CharacterKind = UntypableCharacter::Kind;
    struct Case {
        const char* name;
        std::string passcode;
        std::optional<UntypableCharacter> untypable;
    };
    const std::vector<Case> cases = {
        {"letters and digits", "sakura3", std::nullopt},
        {"every sign and a space", "a !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", std::nullopt},
        {"full-width digits", "１２３４", UntypableCharacter{CharacterKind::NotHalfWidth, 1}},
        {"a full-width letter after half-width ones", "sakuraａ",
         UntypableCharacter{CharacterKind::NotHalfWidth, 7}},
        {"kana", "さくら3", UntypableCharacter{CharacterKind::NotHalfWidth, 1}},
        {"a full-width space", "ab\u3000c", UntypableCharacter{CharacterKind::NotHalfWidth, 3}},
        {"a Latin letter with an accent", "café",
         UntypableCharacter{CharacterKind::NotHalfWidth, 4}},
        {"an arrow key's sequence", "ab\x1b[Dc", UntypableCharacter{CharacterKind::Control, 3}},
        {"a tab", "a\tb", UntypableCharacter{CharacterKind::Control, 2}},
        {"a delete", "ab\x7f", UntypableCharacter{CharacterKind::Control, 3}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const auto untypable = firstUntypableCharacter(c.passcode);
        ASSERT_EQ(untypable.has_value(), c.untypable.has_value()) << c.name;
        if (untypable) {
            EXPECT_EQ(untypable->kind, c.untypable->kind) << c.name;
            EXPECT_EQ(untypable->position, c.untypable->position) << c.name;
            EXPECT_THROW((void)writePasscode(folder / "先生パスコード.txt", c.passcode),
                         std::invalid_argument)
                << c.name;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "先生パスコード.txt"));
    EXPECT_THROW(
        (void)writePasscode(folder / "先生パスコード.txt", std::string(kLongestPasscode + 1, 'a')),
        std::invalid_argument);
}

TEST_F(PasscodeTest, IsCreatedAsWritableAsItsSharedFolderAndClearedByRemoving) {
    TempFolder folder;
    const auto shared = folder / "shared";
    std::filesystem::create_directory(shared);
    std::filesystem::permissions(shared, std::filesystem::perms::all);
    const mode_t old = ::umask(077);
    ASSERT_TRUE(writePasscode(shared / "先生パスコード.txt", "ume"));
    ::umask(old);
    EXPECT_EQ(modeOf(shared / "先生パスコード.txt"), 0666u);

    EXPECT_TRUE(clearPasscode(shared / "先生パスコード.txt"));
    EXPECT_FALSE(std::filesystem::exists(shared / "先生パスコード.txt"));
    EXPECT_EQ(readStoredPasscode(shared / "先生パスコード.txt").state, State::None);
    EXPECT_TRUE(clearPasscode(shared / "先生パスコード.txt")) << "already gone";

    EXPECT_FALSE(writePasscode(folder / "no such folder/先生パスコード.txt", "ume"));
}

// Whatever damages the file, the panel must stay shut: only a missing file in a folder that is
// there means that no passcode was set.
TEST_F(PasscodeTest, AFileThatIsThereButHoldsNoUsableHashIsDamaged) {
    const std::string hash = s_hash.substr(0, s_hash.size() - 2);
    const auto changed = [&](const std::string& from, const std::string& to) {
        std::string text = hash;
        return text.replace(text.find(from), from.size(), to);
    };
    struct Case {
        const char* name;
        std::string bytes;
        State state;
    };
    const std::vector<Case> cases = {
        {"the hash as written", s_hash, State::Set},
        {"the hash without a line end", hash, State::Set},
        {"the hash with a Unix line end", hash + "\n", State::Set},
        {"empty", "", State::Damaged},
        {"the passcode as text", "sakura3\r\n", State::Damaged},
        {"cut short", hash.substr(0, hash.size() - 10), State::Damaged},
        {"a second line", s_hash + hash, State::Damaged},
        {"one huge line", std::string(3 * 1024 * 1024, 'a'), State::Damaged},
        // The file is as writable as its folder: a hash asking for hours of work or gigabytes
        // of memory would freeze the menu.
        {"asking for 4 GiB", changed("m=65536,", "m=4194304,"), State::Damaged},
        {"asking for a million passes", changed(",t=2,", ",t=1000000,"), State::Damaged},
        {"asking for two lanes", changed(",p=1$", ",p=2$"), State::Damaged},
        {"no version", changed("v=19$", ""), State::Damaged},
        {"a salt that is no base64",
         changed("$argon2id$v=19$m=65536,t=2,p=1$", "$argon2id$v=19$m=65536,t=2,p=1$!"),
         State::Damaged},
        {"another scheme", "$2y$10$abcdefghijklmnopqrstuuabcdefghijklmnopqrstuvwxyz01234",
         State::Damaged},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const auto file = folder.writeBytes("先生パスコード.txt", c.bytes);
        const StoredPasscode read = readStoredPasscode(file);
        EXPECT_EQ(read.state, c.state) << c.name << ": " << read.problem;
        EXPECT_EQ(read.problem.empty(), c.state == State::Set) << c.name;
    }

    TempFolder folder;
    std::filesystem::create_directory(folder / "先生パスコード.txt");
    EXPECT_EQ(readStoredPasscode(folder / "先生パスコード.txt").state, State::Damaged)
        << "a folder in its place";
    EXPECT_EQ(readStoredPasscode(folder / "gone/先生パスコード.txt").state, State::Damaged)
        << "a data folder that cannot be reached";
    std::filesystem::create_symlink(folder / "nowhere", folder / "link.txt");
    EXPECT_EQ(readStoredPasscode(folder / "link.txt").state, State::Damaged) << "a link to nothing";
    EXPECT_EQ(readStoredPasscode(folder / "none.txt").state, State::None);
}

TEST_F(PasscodeTest, ThreeWrongTriesMakeItWaitAMinuteWithoutChecking) {
    FakeClock clock;
    TempFolder folder;
    PasscodeTries tries(clock, folder / "先生パスコード失敗回数.txt");
    const StoredPasscode set = stored();

    auto expect = [&](const char* typed, Kind kind, int triesLeft, int seconds,
                      const std::string& text) {
        const PasscodeOutcome outcome = tryPasscode(set, tries, typed);
        EXPECT_EQ(outcome.kind, kind) << typed;
        EXPECT_EQ(outcome.triesLeft, triesLeft) << typed;
        EXPECT_EQ(outcome.secondsToWait, seconds) << typed;
        EXPECT_EQ(passcodeOutcomeText(outcome), text) << typed;
    };
    expect("a", Kind::Wrong, 2, 0, "パスコードがちがいます（あと2回）");
    expect("b", Kind::Wrong, 1, 0, "パスコードがちがいます（あと1回）");
    expect("c", Kind::MustWait, 0, 60, "3回まちがえたので、1分待ってから入れてください");
    // While it waits, even the right passcode is not checked.
    clock.advanceSeconds(30);
    expect("sakura3", Kind::MustWait, 0, 30, "まだ入れられません。あと30秒待ってください");
    clock.advanceSeconds(29.5);
    EXPECT_EQ(tries.secondsToWait(), 1) << "rounded up";
    clock.advanceSeconds(0.5);
    EXPECT_EQ(tries.secondsToWait(), 0);
    // Three fresh tries after the wait; a right one starts the count afresh.
    expect("d", Kind::Wrong, 2, 0, "パスコードがちがいます（あと2回）");
    expect("sakura3", Kind::Opened, 0, 0, "");
    expect("e", Kind::Wrong, 2, 0, "パスコードがちがいます（あと2回）");
}

TEST_F(PasscodeTest, NoPasscodeOpensAtOnceAndADamagedOneNever) {
    FakeClock clock;
    TempFolder folder;
    PasscodeTries tries(clock, folder / "先生パスコード失敗回数.txt");
    EXPECT_EQ(tryPasscode({}, tries, "").kind, Kind::Opened);
    const StoredPasscode damaged{State::Damaged, {}, "ファイルを開けません。"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tryPasscode(damaged, tries, "sakura3").kind, Kind::Damaged);
    const std::string text = passcodeOutcomeText({Kind::Damaged}, damaged.problem);
    EXPECT_NE(text.find("gaisan-records passcode"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("ファイルを開けません。")) << text;
}

}  // namespace
}  // namespace gaisan
