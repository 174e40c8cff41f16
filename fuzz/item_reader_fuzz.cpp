// The item reader on any bytes: decoded as CP932 the way files are, and also taken as already
// decoded text, so that the reader sees shapes the decoder would refuse.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Cp932.h"
#include "platform/DataFileError.h"
#include "platform/ItemReader.h"

namespace {

void readAll(std::string text) {
    gaisan::ItemReader reader(std::move(text), "fuzz.txt");
    int lastLine = 1;
    try {
        while (!reader.atEnd()) {
            const gaisan::Item item = reader.next();
            // Lines only move forward.
            if (item.line < lastLine) __builtin_trap();
            lastLine = item.line;
        }
        reader.next();  // past the end: always refused
        __builtin_trap();
    } catch (const gaisan::DataFileError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    readAll(bytes);
    try {
        readAll(gaisan::decodeCp932(bytes));
    } catch (const gaisan::Cp932Error&) {
    }
    return 0;
}
