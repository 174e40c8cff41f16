#include "platform/ItemReader.h"

#include <algorithm>
#include <sstream>

#include "platform/Cp932.h"
#include "platform/FileBytes.h"

namespace gaisan {
namespace {

int lineOfOffset(std::string_view bytes, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') ++line;
    }
    return line;
}

}  // namespace

Expected<ItemReader> ItemReader::openFile(const std::filesystem::path& file) {
    const Expected<std::string> bytes = readFileBytes(file, kMaxFileBytes);
    if (!bytes) return Unexpected(bytes.error());
    try {
        return ItemReader(decodeCp932(*bytes), file);
    } catch (const Cp932Error& e) {
        std::ostringstream problem;
        problem << lineOfOffset(*bytes, e.offset())
                << "行目に Shift-JIS (CP932) として読めない文字が"
                << "あります（先頭から " << e.offset() << " バイト目）。";
        return Unexpected(Failure{file, problem.str()});
    }
}

ItemReader::ItemReader(std::string utf8Text, std::filesystem::path file)
    : m_text(std::move(utf8Text)), m_file(std::move(file)) {}

bool ItemReader::atEnd() const { return !m_commaPending && restIsBlank(); }

bool ItemReader::restIsBlank() const {
    m_blankUntil = std::max(m_blankUntil, m_position);
    while (m_blankUntil < m_text.size()) {
        const char c = m_text[m_blankUntil];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
        ++m_blankUntil;
    }
    return true;
}

void ItemReader::skipSpaces() {
    while (m_position < m_text.size() &&
           (m_text[m_position] == ' ' || m_text[m_position] == '\t')) {
        ++m_position;
    }
}

bool ItemReader::atLineEnd() const {
    return m_position >= m_text.size() || m_text[m_position] == '\r' || m_text[m_position] == '\n';
}

void ItemReader::consumeLineEnd() {
    if (m_position >= m_text.size()) return;
    if (m_text[m_position] == '\r') ++m_position;
    if (m_position < m_text.size() && m_text[m_position] == '\n') ++m_position;
    ++m_line;
}

Expected<Item> ItemReader::next() {
    if (atEnd()) {
        std::ostringstream problem;
        problem << "項目が足りません（" << m_itemsRead + 1 << "番目の項目を読もうとしましたが、"
                << "ファイルは" << m_itemsRead << "項目で終わっています）。";
        return Unexpected(Failure{m_file, problem.str()});
    }
    Item item;
    item.line = m_line;
    item.startsLine = !m_commaPending;
    skipSpaces();
    if (m_position < m_text.size() && m_text[m_position] == '"') {
        item.quoted = true;
        // One scan to whichever comes first, the closing quote or the line end.
        const std::size_t close = m_text.find_first_of("\"\r\n", m_position + 1);
        if (close == std::string::npos || m_text[close] != '"') {
            return Unexpected(Failure{
                m_file,
                std::to_string(m_line) + "行目: 「\"」で始まる項目に閉じる「\"」がありません。"});
        }
        item.text = m_text.substr(m_position + 1, close - m_position - 1);
        m_position = close + 1;
        // Anything between the closing quote and the separator is not part of the item.
        while (!atLineEnd() && m_text[m_position] != ',') ++m_position;
    } else {
        const std::size_t start = m_position;
        while (!atLineEnd() && m_text[m_position] != ',') ++m_position;
        std::size_t end = m_position;
        while (end > start && (m_text[end - 1] == ' ' || m_text[end - 1] == '\t')) --end;
        item.text = m_text.substr(start, end - start);
    }
    if (m_position < m_text.size() && m_text[m_position] == ',') {
        ++m_position;
        m_commaPending = true;
    } else {
        consumeLineEnd();
        m_commaPending = false;
        item.endsLine = true;
    }
    ++m_itemsRead;
    return item;
}

}  // namespace gaisan
