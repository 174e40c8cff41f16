// The item reader on any bytes: decoded as CP932 the way files are, and also taken as already
// decoded text, so that the reader sees shapes the decoder would refuse.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Cp932.h"
#include "platform/ItemReader.h"

namespace {

void readAll(std::string text) {
    gaisan::ItemReader reader(std::move(text), "fuzz.txt");
    int lastLine = 1;
    while (!reader.atEnd()) {
        const gaisan::Expected<gaisan::Item> item = reader.next();
        if (!item) return;
        // Lines only move forward.
        if (item->line < lastLine) __builtin_trap();
        lastLine = item->line;
    }
    if (reader.next()) __builtin_trap();  // past the end: always refused
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
