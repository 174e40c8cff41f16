#include "platform/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace gaisan {
namespace {

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_handle(iconv_open(to, from)) {
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~IconvHandle() { iconv_close(m_handle); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return m_handle; }

private:
    iconv_t m_handle;
};

/// Converts `input` with `converter`, brought back to its initial state first.
std::string convert(std::string_view input, IconvHandle& converter, const char* inputName) {
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    std::string output;
    output.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    while (inLeft > 0) {
        if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) {
            continue;
        }
        const std::size_t offset = input.size() - inLeft;
        if (errno == E2BIG) {
            const std::size_t used = output.size() - outLeft;
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = output.size() - used;
            continue;
        }
        const char* what = errno == EINVAL ? "incomplete character" : "invalid character";
        throw Cp932Error(offset, std::string(what) + " in " + inputName + " text at byte " +
                                     std::to_string(offset));
    }
    output.resize(output.size() - outLeft);
    return output;
}

/// CP932 and UTF-8 both write the characters 0x00 to 0x7F as those single bytes, backslash and
/// tilde included, so a text of them alone needs no converter: most record fields (digits and
/// spaces) are such texts.
bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

// Opening a converter costs far more than converting a short text, and the results file's text
// fields are converted by the tens of thousands, so each thread keeps its two converters.

std::string decodeCp932(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    thread_local IconvHandle decoder("UTF-8", "CP932");
    return convert(bytes, decoder, "CP932");
}

std::string encodeCp932(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    thread_local IconvHandle encoder("CP932", "UTF-8");
    return convert(utf8, encoder, "UTF-8");
}

}  // namespace gaisan
