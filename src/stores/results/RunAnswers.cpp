#include "stores/results/RunAnswers.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/StoredNumbers.h"

namespace gaisan {
namespace {

constexpr std::string_view kHeadMark = "GAR1";
constexpr std::byte kAnswerMark{'a'};
constexpr std::size_t kCountOffset = 24;
constexpr std::size_t kChecksumOffset = 28;
/// The characters a box takes, by their 4-bit codes 1 to 15.
constexpr std::string_view kBoxCharacters = "*,-./0123456789";
constexpr int kBitsPerBox = 20;
constexpr int kBitsPerCharacter = 4;

std::uint64_t packedBox(const std::string& text) {
    std::uint64_t packed = 0;
    int stored = 0;
    for (char c : text) {
        if (stored == static_cast<int>(AnswerRecord::kBoxLength)) break;
        const std::size_t code = kBoxCharacters.find(c);
        if (code == std::string_view::npos) continue;
        packed |= static_cast<std::uint64_t>(code + 1) << (stored++ * kBitsPerCharacter);
    }
    return packed;
}

/// The text of a packed box: its characters up to the first 0.
std::string unpackedBox(std::uint64_t packed) {
    std::string text;
    for (std::size_t i = 0; i < AnswerRecord::kBoxLength; ++i) {
        const auto code = static_cast<std::size_t>(packed >> (i * kBitsPerCharacter) & 0xF);
        if (code == 0) break;
        text += kBoxCharacters[code - 1];
    }
    return text;
}

std::uint16_t clampedToStored(std::int64_t value) {
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(value, 0, 0xFFFF));
}

void encodeAnswer(const AnswerRecord& answer, std::span<std::byte, kAnswerSlotSize> slot) {
    slot[0] = kAnswerMark;
    const unsigned flags = (static_cast<unsigned>(answer.place) & 3u) |
                           (static_cast<unsigned>(answer.problemType) & 3u) << 2 |
                           (answer.wrongBoxes & 7u) << 4;
    slot[1] = static_cast<std::byte>(flags);
    putStored(slot, 2, clampedToStored(answer.first));
    putStored(slot, 4, clampedToStored(answer.second));
    putStored(slot, 6, answer.tenths);
    std::uint64_t boxes = 0;
    for (std::size_t i = 0; i < answer.boxes.size(); ++i) {
        boxes |= packedBox(answer.boxes[i]) << (i * kBitsPerBox);
    }
    putStored(slot, 8, boxes);
}

/// Whether `slot` is an answer as the writer writes one.
bool isAnswerSlot(std::span<const std::byte> slot) {
    return slot[0] == kAnswerMark && (static_cast<unsigned>(slot[1]) & 0x80u) == 0 &&
           storedAt<std::uint64_t>(slot, 8) >> (3 * kBitsPerBox) == 0;
}

bool startsHead(std::span<const std::byte> bytes) {
    return std::equal(kHeadMark.begin(), kHeadMark.end(), bytes.begin(),
                      [](char c, std::byte b) { return static_cast<std::byte>(c) == b; });
}

/// The run of `block` when it is a whole block: its checksum matches and every slot after the
/// head is an answer.
std::optional<RunIdentity> wholeBlockRun(std::span<const std::byte> block) {
    if (storedAt<std::uint32_t>(block, kChecksumOffset) != blockChecksum(block)) {
        return std::nullopt;
    }
    for (std::size_t at = kRunHeadSize; at < block.size(); at += kAnswerSlotSize) {
        if (!isAnswerSlot(block.subspan(at, kAnswerSlotSize))) return std::nullopt;
    }
    return RunIdentity{storedAt<double>(block, 4), storedAt<double>(block, 12),
                       storedAt<std::int16_t>(block, 20), storedAt<std::int16_t>(block, 22)};
}

}  // namespace

std::uint32_t blockChecksum(std::span<const std::byte> block) {
    std::uint64_t h = 0x9E3779B97F4A7C15u ^ static_cast<std::uint64_t>(block.size());
    for (std::size_t at = 0; at + 8 <= block.size(); at += 8) {
        std::uint64_t word = storedAt<std::uint64_t>(block, at);
        if (at == kRunHeadSize - 8) word &= 0x00000000FFFFFFFFu;  // the checksum field
        h ^= word;
        h *= 0xBF58476D1CE4E5B9u;
        h ^= h >> 31;
    }
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::vector<std::byte> encodeRunAnswers(const RunAnswers& run) {
    const std::size_t count = std::min(run.answers.size(), kMostAnswersInRun);
    std::vector<std::byte> block(kRunHeadSize + count * kAnswerSlotSize);
    const std::span<std::byte> bytes(block);
    std::transform(kHeadMark.begin(), kHeadMark.end(), block.begin(),
                   [](char c) { return static_cast<std::byte>(c); });
    putStored(bytes, 4, run.run.date);
    putStored(bytes, 12, run.run.clock);
    putStored(bytes, 20, run.run.student);
    putStored(bytes, 22, run.run.level);
    putStored(bytes, kCountOffset, static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        encodeAnswer(run.answers[i],
                     bytes.subspan(kRunHeadSize + i * kAnswerSlotSize).first<kAnswerSlotSize>());
    }
    putStored(bytes, kChecksumOffset, blockChecksum(block));
    return block;
}

RunBlock::RunBlock(const RunIdentity& run, std::span<const std::byte> block)
    : m_run(run), m_block(block), m_count((block.size() - kRunHeadSize) / kAnswerSlotSize) {}

AnswerTally RunBlock::tally(std::size_t i) const {
    const std::span<const std::byte> slot = m_block.subspan(kRunHeadSize + i * kAnswerSlotSize);
    const auto flags = static_cast<unsigned>(slot[1]);
    return {static_cast<std::int8_t>(flags >> 2 & 3u), static_cast<std::uint8_t>(flags >> 4 & 7u),
            storedAt<std::uint16_t>(slot, 6)};
}

AnswerRecord RunBlock::answer(std::size_t i) const {
    const std::span<const std::byte> slot = m_block.subspan(kRunHeadSize + i * kAnswerSlotSize);
    const AnswerTally counted = tally(i);
    AnswerRecord answer;
    answer.place = static_cast<std::int8_t>(static_cast<unsigned>(slot[1]) & 3u);
    answer.problemType = counted.problemType;
    answer.wrongBoxes = counted.wrongBoxes;
    answer.tenths = counted.tenths;
    answer.first = storedAt<std::uint16_t>(slot, 2);
    answer.second = storedAt<std::uint16_t>(slot, 4);
    const auto boxes = storedAt<std::uint64_t>(slot, 8);
    for (std::size_t box = 0; box < answer.boxes.size(); ++box) {
        answer.boxes[box] = unpackedBox(boxes >> (box * kBitsPerBox) & 0xFFFFF);
    }
    return answer;
}

RunAnswers RunBlock::decoded() const {
    RunAnswers run{m_run, {}};
    run.answers.reserve(m_count);
    for (std::size_t i = 0; i < m_count; ++i) run.answers.push_back(answer(i));
    return run;
}

RunAnswersScanner::RunAnswersScanner(std::function<void(const RunBlock&)> onRun)
    : m_onRun(std::move(onRun)) {}

std::size_t RunAnswersScanner::scan(std::span<const std::byte> bytes, bool fileEnds) {
    std::size_t at = 0;
    while (at + kAnswerSlotSize <= bytes.size()) {
        const std::span<const std::byte> rest = bytes.subspan(at);
        if (startsHead(rest)) {
            if (rest.size() < kRunHeadSize && !fileEnds) break;
            if (rest.size() >= kRunHeadSize) {
                const std::size_t count = storedAt<std::uint16_t>(rest, kCountOffset);
                const std::size_t size = kRunHeadSize + count * kAnswerSlotSize;
                const bool plausible = count >= 1 && count <= kMostAnswersInRun &&
                                       storedAt<std::uint16_t>(rest, kCountOffset + 2) == 0;
                if (plausible && rest.size() < size && !fileEnds) break;
                if (plausible && rest.size() >= size) {
                    if (auto run = wholeBlockRun(rest.first(size))) {
                        m_onRun(RunBlock(*run, rest.first(size)));
                        at += size;
                        continue;
                    }
                }
            }
        }
        m_leftOut += kAnswerSlotSize;
        at += kAnswerSlotSize;
    }
    if (fileEnds) {
        m_leftOut += bytes.size() - at;
        at = bytes.size();
    }
    return at;
}

std::vector<RunAnswers> runAnswersIn(std::span<const std::byte> bytes) {
    std::vector<RunAnswers> runs;
    RunAnswersScanner scanner([&](const RunBlock& run) { runs.push_back(run.decoded()); });
    static_cast<void>(scanner.scan(bytes, true));
    return runs;
}

}  // namespace gaisan
