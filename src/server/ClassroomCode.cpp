#include "server/ClassroomCode.h"

#include <sodium.h>

#include "platform/AtomicFileWriter.h"
#include "platform/FileBytes.h"
#include "platform/Sodium.h"

namespace gaisan {
namespace {

/// The code file holds two short lines; anything longer is not one.
constexpr std::size_t kCodeFileLimit = 4096;
constexpr std::size_t kDeviceNameBytes = 16;

std::string hexOf(const unsigned char* bytes, std::size_t size) {
    std::string hex(size * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes, size);
    hex.pop_back();
    return hex;
}

Failure unusable(const std::filesystem::path& file, std::string problem) {
    return Failure{file, std::move(problem), {}};
}

}  // namespace

ClassroomCode ClassroomCode::random() {
    startSodium();
    ClassroomCode code;
    for (std::size_t i = 0; i < kDigits; ++i) {
        code.m_digits.push_back(static_cast<char>('0' + randombytes_uniform(10)));
    }
    randombytes_buf(code.m_key.data(), code.m_key.size());
    return code;
}

Expected<ClassroomCode> ClassroomCode::parse(const std::filesystem::path& file,
                                             std::string_view text) {
    startSodium();
    const std::size_t firstEnd = text.find('\n');
    const std::size_t secondEnd =
        firstEnd == std::string_view::npos ? firstEnd : text.find('\n', firstEnd + 1);
    if (secondEnd == std::string_view::npos) {
        return Unexpected(unusable(file, "教室コードと鍵の2行がありません"));
    }
    ClassroomCode code;
    code.m_digits = std::string(text.substr(0, firstEnd));
    if (code.m_digits.size() < kDigits ||
        code.m_digits.find_first_not_of("0123456789") != std::string::npos) {
        return Unexpected(unusable(file, "1行目の教室コードが6けた以上の数字ではありません"));
    }
    const std::string_view keyHex = text.substr(firstEnd + 1, secondEnd - firstEnd - 1);
    std::size_t keyLength = 0;
    if (keyHex.size() != kKeyBytes * 2 ||
        sodium_hex2bin(code.m_key.data(), code.m_key.size(), keyHex.data(), keyHex.size(), nullptr,
                       &keyLength, nullptr) != 0 ||
        keyLength != kKeyBytes) {
        return Unexpected(unusable(file, "2行目の鍵が64けたの16進数ではありません"));
    }
    return code;
}

Expected<ClassroomCode> ClassroomCode::loadOrCreate(const std::filesystem::path& file) {
    if (missingFromItsFolder(file)) return renew(file);
    auto text = readFileBytes(file, kCodeFileLimit);
    if (!text) return Unexpected(text.error());
    return parse(file, *text);
}

Expected<ClassroomCode> ClassroomCode::renew(const std::filesystem::path& file) {
    ClassroomCode code = random();
    if (auto saved = code.save(file); !saved) return Unexpected(saved.error());
    return code;
}

Expected<void> ClassroomCode::save(const std::filesystem::path& file) const {
    const std::string text = m_digits + "\n" + hexOf(m_key.data(), m_key.size()) + "\n";
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(text)));
    return writer.commit();
}

bool ClassroomCode::matches(std::string_view typed) const {
    if (typed.size() != m_digits.size()) return false;
    return sodium_memcmp(typed.data(), m_digits.data(), m_digits.size()) == 0;
}

std::string ClassroomCode::signatureOf(std::string_view device) const {
    unsigned char mac[crypto_auth_BYTES];
    crypto_auth(mac, reinterpret_cast<const unsigned char*>(device.data()), device.size(),
                m_key.data());
    return hexOf(mac, sizeof mac);
}

std::string ClassroomCode::newDeviceCookie() const {
    startSodium();
    unsigned char name[kDeviceNameBytes];
    randombytes_buf(name, sizeof name);
    const std::string device = hexOf(name, sizeof name);
    return device + "." + signatureOf(device);
}

std::optional<std::string> ClassroomCode::deviceOf(std::string_view cookie) const {
    const std::size_t dot = cookie.find('.');
    if (dot != kDeviceNameBytes * 2) return std::nullopt;
    const std::string device(cookie.substr(0, dot));
    if (device.find_first_not_of("0123456789abcdef") != std::string::npos) return std::nullopt;
    const std::string expected = signatureOf(device);
    const std::string_view given = cookie.substr(dot + 1);
    if (given.size() != expected.size() ||
        sodium_memcmp(given.data(), expected.data(), expected.size()) != 0) {
        return std::nullopt;
    }
    return device;
}

}  // namespace gaisan
