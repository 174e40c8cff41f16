#include "platform/TextFileWriter.h"

#include <string>

#include "platform/AtomicFileWriter.h"
#include "platform/Cp932.h"
#include "platform/DataFileError.h"

namespace gaisan {

std::string cp932BytesFor(const std::filesystem::path& file, std::string_view utf8Text) {
    try {
        return encodeCp932(utf8Text);
    } catch (const Cp932Error& e) {
        throw DataFileError(file, "Shift-JIS (CP932) で書けない文字があります（先頭から " +
                                      std::to_string(e.offset()) + " バイト目）。");
    }
}

void writeCp932FileAtomically(const std::filesystem::path& file, std::string_view utf8Text) {
    const std::string bytes = cp932BytesFor(file, utf8Text);
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(bytes)));
    writer.commit();
}

}  // namespace gaisan
