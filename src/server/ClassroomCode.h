#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace gaisan {

/// The classroom's code for the browser server: the digits a device enters once, and the key
/// that signs the cookie it then keeps. Both live in the data folder, so that a restart of the
/// server keeps the devices it knew; a new code takes a new key, so that every device enters the
/// new code.
class ClassroomCode {
public:
    static constexpr std::size_t kDigits = 6;
    static constexpr std::size_t kKeyBytes = 32;

    /// Reads the code file, or makes one with a random code and key where there is none yet.
    static Expected<ClassroomCode> loadOrCreate(const std::filesystem::path& file);
    /// Replaces the code file with a new random code and key.
    static Expected<ClassroomCode> renew(const std::filesystem::path& file);
    /// The code file's text read: "CODE\nKEY-IN-HEX\n".
    static Expected<ClassroomCode> parse(const std::filesystem::path& file, std::string_view text);

    const std::string& digits() const { return m_digits; }
    /// Whether `typed` is the code, compared in constant time.
    bool matches(std::string_view typed) const;

    /// The cookie value of a new device: its random name and the name's signature.
    std::string newDeviceCookie() const;
    /// The device a cookie value names, when the cookie was signed with this key.
    std::optional<std::string> deviceOf(std::string_view cookie) const;

private:
    static ClassroomCode random();
    Expected<void> save(const std::filesystem::path& file) const;
    std::string signatureOf(std::string_view device) const;

    std::string m_digits;
    std::array<unsigned char, kKeyBytes> m_key{};
};

}  // namespace gaisan
