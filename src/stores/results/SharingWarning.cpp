#include "stores/results/SharingWarning.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace gaisan {
namespace {

struct UnsafeOption {
    std::string_view option;
    std::string_view consequence;
};

constexpr std::string_view kLocalLocks =
    "ロックがこのコンピュータの中だけで働くため、2台が同時に記録すると片方の記録が失われます";
constexpr std::string_view kStaleCache =
    "ファイルの長さを古いまま使うことがあるため、ほかのコンピュータの記録を上書きすることがありま"
    "す";

constexpr std::array kNfsOptions = {
    UnsafeOption{"nolock", kLocalLocks},
    UnsafeOption{"local_lock=all", kLocalLocks},
    UnsafeOption{"local_lock=posix", kLocalLocks},
    UnsafeOption{"nocto", kStaleCache},
};
constexpr std::array kSmbOptions = {
    UnsafeOption{"nobrl", kLocalLocks},
    UnsafeOption{"cache=loose", kStaleCache},
    UnsafeOption{"cache=singleclient", kStaleCache},
};

bool isNfs(const std::string& type) { return type == "nfs" || type == "nfs4"; }
bool isSmb(const std::string& type) { return type == "cifs" || type == "smb3"; }

}  // namespace

std::optional<std::string> sharingWarningOf(const Mount& mount) {
    std::span<const UnsafeOption> unsafe;
    if (isNfs(mount.fileSystemType)) unsafe = kNfsOptions;
    if (isSmb(mount.fileSystemType)) unsafe = kSmbOptions;
    for (const UnsafeOption& candidate : unsafe) {
        if (std::find(mount.options.begin(), mount.options.end(), candidate.option) ==
            mount.options.end()) {
            continue;
        }
        return "成績ファイルのある共有フォルダ " + mount.mountPoint + "（" + mount.fileSystemType +
               " " + mount.source + "）は、オプション「" + std::string(candidate.option) +
               "」でマウントされています。" + std::string(candidate.consequence) +
               "。ネットワークの管理者にマウントの設定を直してもらってください。";
    }
    return std::nullopt;
}

std::optional<std::string> sharingWarningForFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    const std::filesystem::path absolute =
        std::filesystem::weakly_canonical(folder.empty() ? "." : folder, ignored);
    const std::optional<Mount> mount = mountHolding(readMountTable(), absolute);
    if (!mount) return std::nullopt;
    return sharingWarningOf(*mount);
}

}  // namespace gaisan
