// "パスデータ.txt" and "共通データ.txt": the start-up's configuration load from a suite folder
// whose suite file is the input, and the common settings read from the input.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzFile.h"
#include "base/AppState.h"
#include "stores/installation/Configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    static const std::filesystem::path programFolder = [] {
        std::filesystem::create_directories(fuzzing::scratchFolder() / "gaisan");
        return fuzzing::scratchFolder() / "gaisan";
    }();
    // The load reads further files only where the input's data root leads.
    fuzzing::inputAsFile("パスデータ.txt", data, size);
    static auto state = std::make_unique<AppState>();
    // Whether it loads or not, it must do so without a crash.
    (void)LoadConfiguration(*state, programFolder);

    const auto common = fuzzing::inputAsFile("共通データ.txt", data, size);
    const Expected<CommonConfiguration> read = readCommonConfiguration(common);
    if (read && (read->YearChangeMonth < 1 || read->YearChangeMonth > 12)) __builtin_trap();
    return 0;
}
