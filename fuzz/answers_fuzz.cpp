// The answers file's bytes as the analysis meets them: each 72-byte entry decoded, gathered into
// whole runs, and each answer of a whole run named by its kinds of mistake.

#include <cstddef>
#include <cstdint>
#include <span>

#include "answers/AnswerRecord.h"
#include "answers/MistakeKinds.h"
#include "answers/RunAnswers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gaisan;
    RunAnswersCollector collector([](RunAnswers&& run) {
        for (const AnswerRecord& answer : run.answers) {
            const AnswerMistakes mistakes =
                mistakesOf({answer.first, answer.second, answer.place, answer.boxes[0],
                            answer.boxes[1], answer.boxes[2]});
            static_cast<void>(mistakeName(mistakes.sum));
        }
    });
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    for (std::size_t at = 0; at + AnswerRecord::kSize <= bytes.size(); at += AnswerRecord::kSize) {
        collector.add(decodeAnswer(bytes.subspan(at).first<AnswerRecord::kSize>()));
    }
    collector.finish();
    return 0;
}
