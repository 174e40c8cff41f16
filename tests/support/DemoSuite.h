#pragma once

#include <filesystem>

#include "support/TempFolder.h"

namespace gaisan::testing {

/// Copies the demo installation (GAISAN_DEMO_DIR, which the test program defines) into `suite`
/// and points its パスデータ.txt at the copy's data root, as a school's suite folder is laid out.
inline void copyDemoSuite(const TempFolder& suite) {
    std::filesystem::copy(GAISAN_DEMO_DIR, suite.path(), std::filesystem::copy_options::recursive);
    suite.writeCp932("パスデータ.txt", (suite / "data").string() +
                                           "/\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
}

}  // namespace gaisan::testing
