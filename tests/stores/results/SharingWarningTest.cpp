#include "stores/results/SharingWarning.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

/// The warning for one mountinfo line, or "" when the mount is safe.
std::string warningFor(const std::string& line) {
    const std::vector<Mount> mounts = parseMountInfo(line);
    if (mounts.size() != 1) return "not one mount";
    return sharingWarningOf(mounts.front()).value_or("");
}

std::string nfs(const std::string& options) {
    return "40 21 0:35 / /srv/school rw,relatime - nfs4 fs1:/export rw,vers=4.2," + options;
}
std::string smb(const std::string& options) {
    return "41 21 0:36 / /srv/school rw,relatime - cifs //fs2/drills rw,vers=3.1.1," + options;
}

TEST(SharingWarning, NamesTheMountAndTheOptionThatBreaksSharing) {
    const struct {
        std::string line;
        const char* option;  ///< nullptr: no warning
    } cases[] = {
        {nfs("hard,local_lock=none"), nullptr},
        {nfs("local_lock=all"), "local_lock=all"},  // how "nolock" shows in the table
        {nfs("local_lock=posix"), "local_lock=posix"},
        {nfs("nolock"), "nolock"},
        {nfs("local_lock=flock"), nullptr},  // flock is not the lock the results file takes
        {nfs("nocto,local_lock=none"), "nocto"},
        {"40 21 0:35 / /srv/school rw - nfs fs1:/export rw,vers=3,local_lock=all",
         "local_lock=all"},
        {smb("cache=strict"), nullptr},
        {smb("cache=none"), nullptr},
        {smb("cache=strict,nobrl"), "nobrl"},
        {smb("cache=loose"), "cache=loose"},
        {smb("cache=singleclient"), "cache=singleclient"},
        {"41 21 0:36 / /srv/school rw - smb3 //fs2/drills rw,nobrl", "nobrl"},
        {"21 1 8:1 / /srv/school rw - ext4 /dev/sda1 rw,nobrl", nullptr},  // not a network share
    };
    for (const auto& c : cases) {
        const std::string warning = warningFor(c.line);
        if (!c.option) {
            EXPECT_EQ(warning, "") << c.line;
            continue;
        }
        EXPECT_NE(warning.find(std::string("「") + c.option + "」"), std::string::npos) << warning;
        EXPECT_NE(warning.find("/srv/school"), std::string::npos) << warning;
    }
    EXPECT_EQ(
        warningFor(smb("nobrl")),
        "成績ファイルのある共有フォルダ /srv/school（cifs //fs2/drills）は、オプション「nobrl」で"
        "マウントされています。ロックがこのコンピュータの中だけで働くため、2台が同時に記録すると"
        "片方の記録が失われます。ネットワークの管理者にマウントの設定を直してもらってください。");
}

}  // namespace
}  // namespace gaisan
