// The answers file's bytes as the analysis meets them: whole blocks read out of any bytes, given
// in pieces as the reader gives them, and each answer of a whole run named by its kinds of
// mistake.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/RunAnswers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    MistakeSummary summary;
    RunAnswersScanner scanner([&](const RunBlock& run) {
        summary.add(run);
        for (const AnswerRecord& answer : run.decoded().answers) {
            static_cast<void>(mistakeName(mistakesOf(answer).sum));
        }
    });
    // Pieces of 1000 bytes: a block's end falls inside a piece as often as not.
    constexpr std::size_t kPiece = 1000;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    std::vector<std::byte> pending;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const std::span<const std::byte> piece = bytes.subspan(at, std::min(kPiece, size - at));
        pending.insert(pending.end(), piece.begin(), piece.end());
        const std::size_t used = scanner.scan(pending, at + piece.size() == size);
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
    }
    static_cast<void>(summary.weakestKinds());
    return 0;
}
