#include "stores/installation/Passcode.h"

#include <sodium.h>

#include <charconv>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <system_error>

#include "platform/AtomicFileWriter.h"
#include "platform/FileBytes.h"
#include "platform/Sodium.h"

namespace gaisan {
namespace {

// A hash is about a hundred bytes; the bound only keeps a hostile file from filling the memory.
constexpr std::size_t kFileLimit = 1024 * 1024;

// The cost of a new hash: about 0.3 s to check on a classroom machine, 64 MiB of memory.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

// The most a stored hash may ask for: the file is as writable as its folder, and a hash asking
// for hours of work or gigabytes of memory would freeze the menu at every "データ処理".
constexpr unsigned long kMostKibibytes = 2 * kMemLimit / 1024;
constexpr unsigned long kMostPasses = 4;

std::optional<unsigned long> numberAfter(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return std::nullopt;
    text.remove_prefix(prefix.size());
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

// Whether `hash` is an Argon2 hash in libsodium's form whose cost stays within the bounds.
bool acceptableHash(const std::string& hash) {
    if (hash.size() >= crypto_pwhash_STRBYTES) return false;
    std::string_view rest = hash;
    if (rest.starts_with("$argon2id$")) {
        rest.remove_prefix(10);
    } else if (rest.starts_with("$argon2i$")) {
        rest.remove_prefix(9);
    } else {
        return false;
    }
    const auto version = numberAfter(rest, "v=");
    const auto kibibytes = numberAfter(rest, "$m=");
    const auto passes = numberAfter(rest, ",t=");
    const auto lanes = numberAfter(rest, ",p=");
    if (!version || !kibibytes || !passes || !lanes || !rest.starts_with("$")) return false;
    if (*kibibytes > kMostKibibytes || *passes > kMostPasses || *lanes != 1) return false;
    startSodium();
    // -1: not a hash libsodium can check (a bad salt or hash part).
    return crypto_pwhash_str_needs_rehash(hash.c_str(), kOpsLimit, kMemLimit) != -1;
}

StoredPasscode damaged(std::string problem) {
    return {StoredPasscode::State::Damaged, {}, std::move(problem)};
}

}  // namespace

StoredPasscode readStoredPasscode(const std::filesystem::path& file) {
    Expected<std::string> read = readFileBytes(file, kFileLimit);
    if (!read) {
        if (missingFromItsFolder(file)) return {};
        return damaged(read.error().problem);
    }
    std::string bytes = std::move(*read);
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
    if (!acceptableHash(bytes)) {
        return damaged("パスコードの記録として読めない内容です。");
    }
    return {StoredPasscode::State::Set, std::move(bytes), {}};
}

std::optional<UntypableCharacter> firstUntypableCharacter(std::string_view passcode) {
    for (std::size_t at = 0; at < passcode.size(); ++at) {
        const auto byte = static_cast<unsigned char>(passcode[at]);
        if (byte >= 0x20 && byte <= 0x7E) continue;
        const auto kind = byte < 0x20 || byte == 0x7F ? UntypableCharacter::Kind::Control
                                                      : UntypableCharacter::Kind::NotHalfWidth;
        // Everything before it is ASCII, so its place in bytes is its place in characters.
        return UntypableCharacter{kind, at + 1};
    }
    return std::nullopt;
}

Expected<void> writePasscode(const std::filesystem::path& file, std::string_view passcode) {
    if (passcode.empty()) throw std::invalid_argument("an empty passcode");
    if (passcode.size() > kLongestPasscode) throw std::invalid_argument("a passcode too long");
    if (firstUntypableCharacter(passcode)) {
        throw std::invalid_argument("a passcode the passcode box cannot take");
    }
    startSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, passcode.data(), passcode.size(), kOpsLimit, kMemLimit) != 0) {
        return Unexpected(Failure{file, "パスコードを記録する計算に必要なメモリがありません。"});
    }
    std::string line = std::string(hash) + "\r\n";
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(line.data(), line.size())));
    return writer.commit();
}

Expected<void> clearPasscode(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) return Unexpected(Failure{file, error.message()});
    return {};
}

bool passcodeMatches(const std::string& hash, std::string_view passcode) {
    startSodium();
    return crypto_pwhash_str_verify(hash.c_str(), passcode.data(), passcode.size()) == 0;
}

}  // namespace gaisan
