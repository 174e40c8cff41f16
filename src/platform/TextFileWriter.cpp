#include "platform/TextFileWriter.h"

#include <string>

#include "platform/AtomicFileWriter.h"
#include "platform/Cp932.h"

namespace gaisan {

Expected<std::string> cp932BytesFor(const std::filesystem::path& file, std::string_view utf8Text) {
    try {
        return encodeCp932(utf8Text);
    } catch (const Cp932Error& e) {
        return Unexpected(Failure{file, "Shift-JIS (CP932) で書けない文字があります（先頭から " +
                                            std::to_string(e.offset()) + " バイト目）。"});
    }
}

Expected<void> writeCp932FileAtomically(const std::filesystem::path& file,
                                        std::string_view utf8Text) {
    const Expected<std::string> bytes = cp932BytesFor(file, utf8Text);
    if (!bytes) return Unexpected(bytes.error());
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(*bytes)));
    return writer.commit();
}

}  // namespace gaisan
