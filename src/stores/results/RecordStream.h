#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "base/ResultRecord.h"
#include "stores/results/RecordReader.h"

namespace gaisan {

/// Hands every whole record of `file` to `onRecord` in file order, with its 1-based number, as
/// the command line's dump, check and export read it, and says where the read ended: a missing
/// or busy file is a failure naming the file.
Expected<RecordReadEnd> forEachRecord(
    const std::filesystem::path& file,
    const std::function<void(std::uint64_t, const ResultRecord&)>& onRecord);

}  // namespace gaisan
