#include "platform/MountTable.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

const char* const kMountInfo =
    "21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro\n"
    "40 21 0:35 / /srv/school rw,relatime shared:20 - nfs4 fs1:/export/school "
    "rw,vers=4.2,hard,proto=tcp,local_lock=none,addr=10.0.0.2\n"
    "41 40 0:36 / /srv/school/drills\\040room rw,relatime - cifs //fs2/drills "
    "rw,vers=3.1.1,cache=strict,nobrl,uid=1000\n"
    "not a mountinfo line\n"
    "42 21 0:37 / /srv/school rw - nfs fs3:/other rw,local_lock=all\n";

TEST(MountTable, ReadsPointTypeSourceAndBothOptionLists) {
    const std::vector<Mount> mounts = parseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 4u);
    EXPECT_EQ(mounts[1].mountPoint, "/srv/school");
    EXPECT_EQ(mounts[1].fileSystemType, "nfs4");
    EXPECT_EQ(mounts[1].source, "fs1:/export/school");
    EXPECT_EQ(mounts[1].options.front(), "rw");
    EXPECT_EQ(mounts[1].options.back(), "addr=10.0.0.2");
    EXPECT_EQ(mounts[2].mountPoint, "/srv/school/drills room") << "octal escapes undone";
    EXPECT_NE(std::find(mounts[2].options.begin(), mounts[2].options.end(), "nobrl"),
              mounts[2].options.end());
}

TEST(MountTable, TheFolderBelongsToTheDeepestAndLastMountAboveIt) {
    const std::vector<Mount> mounts = parseMountInfo(kMountInfo);
    const struct {
        const char* folder;
        const char* source;
    } cases[] = {
        {"/srv/school/drills room/gaisan/", "//fs2/drills"},
        {"/srv/school/gaisan/", "fs3:/other"},  // mounted over fs1 later: it hides fs1
        {"/srv/schoolyard/", "/dev/sda1"},      // a longer name is no folder inside
        {"/", "/dev/sda1"},
    };
    for (const auto& c : cases) {
        const auto mount = mountHolding(mounts, c.folder);
        ASSERT_TRUE(mount) << c.folder;
        EXPECT_EQ(mount->source, c.source) << c.folder;
    }
    EXPECT_FALSE(mountHolding({}, "/srv"));
}

}  // namespace
}  // namespace gaisan
