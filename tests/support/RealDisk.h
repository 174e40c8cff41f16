#pragma once

#include <sys/vfs.h>

#include <filesystem>

namespace gaisan::testing {

/// A folder on a real disk, where every sync takes real time, as on a school's server: in memory
/// a write is over in an instant and a kill almost never lands inside one. The build folder the
/// tests run in is on a disk where the system's temporary folder may not be.
inline std::filesystem::path realDiskFolder() {
    constexpr long kTmpfsMagic = 0x01021994;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path();
    struct statfs info {};
    if (statfs(temporary.c_str(), &info) == 0 && info.f_type != kTmpfsMagic) return temporary;
    return std::filesystem::current_path();
}

}  // namespace gaisan::testing
