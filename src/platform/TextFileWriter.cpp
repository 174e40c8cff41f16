#include "platform/TextFileWriter.h"

#include <string>

#include "platform/AtomicFileWriter.h"
#include "platform/Cp932.h"
#include "platform/DataFileError.h"

namespace gaisan {

void writeCp932FileAtomically(const std::filesystem::path& file, std::string_view utf8Text) {
    std::string bytes;
    try {
        bytes = encodeCp932(utf8Text);
    } catch (const Cp932Error& e) {
        throw DataFileError(file, "Shift-JIS (CP932) で書けない文字があります（先頭から " +
                                      std::to_string(e.offset()) + " バイト目）。");
    }
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(bytes)));
    writer.commit();
}

}  // namespace gaisan
