#include "platform/SharedFileMode.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <vector>

#include "platform/AtomicFileWriter.h"
#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "support/ExpectedAssertions.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// A umask for the length of a test: a login that keeps everything to itself.
class Umask {
public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t m_old;
};

/// A group other than the process's own that the process may give files: any number for root,
/// else a supplementary group; nothing when there is none.
std::optional<gid_t> otherGroup() {
    if (::geteuid() == 0) return 64100;
    std::vector<gid_t> groups(static_cast<std::size_t>(::getgroups(0, nullptr)));
    groups.resize(
        static_cast<std::size_t>(::getgroups(static_cast<int>(groups.size()), groups.data())));
    for (gid_t group : groups) {
        if (group != ::getegid()) return group;
    }
    return std::nullopt;
}

struct stat statusOf(const std::filesystem::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

/// A folder of `mode`, of `group` when one is given.
std::filesystem::path makeFolder(const std::filesystem::path& path, mode_t mode,
                                 std::optional<gid_t> group = std::nullopt) {
    std::filesystem::create_directory(path);
    if (group) {
        EXPECT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), *group), 0);
    }
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
}

/// Every way the program makes a file or folder in the shared data folder.
struct Creator {
    const char* name;
    bool makesFolder;
    std::function<void(const std::filesystem::path&)> create;
};

const std::vector<Creator>& creators() {
    static const std::byte bytes[] = {std::byte{'G'}, std::byte{'S'}};
    static const std::vector<Creator> all = {
        {"the results file", false,
         [](const std::filesystem::path& path) {
             PosixRecordFile file;
             EXPECT_TRUE(testing::succeeded(file.open(path)));
         }},
        {"a delete's journal", false,
         [](const std::filesystem::path& path) {
             EXPECT_TRUE(testing::succeeded(writeFileDurably(path, bytes)));
         }},
        {"a file written whole (a backup copy, the criteria)", false,
         [](const std::filesystem::path& path) {
             AtomicFileWriter writer(path);
             writer.write(bytes);
             EXPECT_TRUE(writer.commit());
         }},
        {"the backup folder", true,
         [](const std::filesystem::path& path) { EXPECT_TRUE(createSharedFolder(path)); }},
    };
    return all;
}

struct FolderCase {
    const char* name;
    mode_t folderMode;
    bool ofOtherGroup;  ///< the folder belongs to a group other than the creator's own
    mode_t fileMode;
    mode_t folderModeMade;
};

TEST(SharedFileMode, WhatTheProgramMakesIsAsWritableAsItsFolderWhateverTheUmask) {
    const FolderCase cases[] = {
        {"private", 0700, false, 0644, 0755},
        {"readable by all", 0755, false, 0644, 0755},
        {"writable by its group", 0775, true, 0664, 0775},
        {"writable by its group, setgid", 02775, true, 0664, 02775},
        {"writable by all", 0777, false, 0666, 0777},
        {"writable by all, sticky", 01777, false, 0666, 0777},
    };
    const std::optional<gid_t> group = otherGroup();
    testing::TempFolder root;
    const Umask privateLogin(077);
    for (const FolderCase& c : cases) {
        if (c.ofOtherGroup && !group) {
            std::cout << "skipped \"" << c.name << "\": this user is in no other group\n";
            continue;
        }
        const auto folder =
            makeFolder(root / c.name, c.folderMode, c.ofOtherGroup ? group : std::nullopt);
        for (const Creator& creator : creators()) {
            SCOPED_TRACE(std::string(c.name) + ": " + creator.name);
            const auto made = folder / creator.name;
            creator.create(made);
            const struct stat status = statusOf(made);
            EXPECT_EQ(status.st_mode & 07777, creator.makesFolder ? c.folderModeMade : c.fileMode);
            if (c.ofOtherGroup) {
                EXPECT_EQ(status.st_gid, *group);
            }
        }
    }
}

TEST(SharedFileMode, AFileThatIsThereKeepsTheModeAndGroupSomebodyChose) {
    const gid_t group = otherGroup().value_or(::getegid());
    testing::TempFolder root;
    const auto folder = makeFolder(root / "shared", 0777);
    for (const Creator& creator : creators()) {
        if (creator.makesFolder) continue;
        SCOPED_TRACE(creator.name);
        const auto file = folder / creator.name;
        std::ofstream(file) << "there";
        ASSERT_EQ(::chown(file.c_str(), static_cast<uid_t>(-1), group), 0);
        ASSERT_EQ(::chmod(file.c_str(), 0660), 0);
        creator.create(file);
        EXPECT_EQ(statusOf(file).st_mode & 07777, 0660u);
        EXPECT_EQ(statusOf(file).st_gid, group);
    }
    const auto backups = makeFolder(folder / "backups", 0700);
    EXPECT_TRUE(createSharedFolder(backups));
    EXPECT_EQ(statusOf(backups).st_mode & 07777, 0700u);
}

TEST(SharedFileMode, AFolderThatCannotBeMadeIsNamed) {
    testing::TempFolder root;
    const auto made = createSharedFolder(root / "missing" / "backups");
    ASSERT_FALSE(made);
    EXPECT_TRUE(made.error().text().starts_with((root / "missing" / "backups").string() + ": "))
        << made.error().text();
}

TEST(SharedFileMode, SomethingLessWritableThanItsFolderIsNamedWithItsModeAndGroup) {
    struct Case {
        const char* name;
        mode_t folderMode;
        mode_t fileMode;
        bool folderOfOtherGroup;
        bool fileOfOtherGroup;
        bool problem;
    };
    const Case cases[] = {
        {"0644 in a folder writable by all", 0777, 0644, false, false, true},
        {"0664 in a folder writable by all", 0777, 0664, false, false, true},
        {"0666 in a folder writable by all", 0777, 0666, false, false, false},
        {"0664 of the folder's group", 02775, 0664, true, true, false},
        {"0644 of the folder's group", 02775, 0644, true, true, true},
        {"0664 of another group", 02775, 0664, true, false, true},
        {"0666 of another group", 02775, 0666, true, false, false},
        {"0600 in a folder only its owner writes", 0755, 0600, false, false, false},
    };
    const std::optional<gid_t> group = otherGroup();
    testing::TempFolder root;
    for (const Case& c : cases) {
        if ((c.folderOfOtherGroup || c.fileOfOtherGroup) && !group) continue;
        SCOPED_TRACE(c.name);
        const auto folder =
            makeFolder(root / c.name, c.folderMode, c.folderOfOtherGroup ? group : std::nullopt);
        const auto file = folder / "成績累積データ.dat";
        std::ofstream{file};
        ASSERT_EQ(::chown(file.c_str(), static_cast<uid_t>(-1),
                          c.fileOfOtherGroup ? *group : ::getegid()),
                  0);
        ASSERT_EQ(::chmod(file.c_str(), c.fileMode), 0);
        const auto problem = sharingProblemOf(file);
        ASSERT_EQ(problem.has_value(), c.problem) << problem.value_or("");
        if (problem) {
            EXPECT_TRUE(problem->starts_with(file.string() + ": ")) << *problem;
            char mode[8];
            std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(c.fileMode));
            EXPECT_NE(problem->find(std::string("モード ") + mode), std::string::npos) << *problem;
        }
    }
    EXPECT_EQ(sharingProblemOf(root / "nothing here"), std::nullopt);
}

}  // namespace
}  // namespace gaisan
