#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace gaisan {

/// One item of a text file, with where it stood.
struct Item {
    std::string text;     ///< UTF-8, without quotes and without surrounding half-width spaces
    int line = 0;         ///< 1-based line the item starts on
    bool quoted = false;  ///< written in double quotes
    bool startsLine = false;
    bool endsLine = false;  ///< ended by a line end or the end of the file, not by a comma
};

/// Reads the suite's text files item by item, the one way every file of the suite is read: an
/// item ends at a comma or at a line end (CR LF, LF or CR); an item in double quotes may hold
/// commas; half-width spaces and tabs around an item are dropped. A comma always promises one
/// more item, so "a,\r\n" holds two items, the second empty. Blank lines at the very end of a
/// file are not items; a blank line elsewhere is one empty item.
///
/// Reading is linear in the file's length whatever its shape: a whole roster on one line or a
/// million blank lines cost what reading the bytes costs, so a hostile file cannot stall a
/// classroom machine.
class ItemReader {
public:
    /// The largest configuration file read: far above a school's largest roster (5000 students
    /// of a few hundred bytes each), far below what could exhaust a classroom machine's memory.
    static constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

    /// Reads and decodes a whole CP932 file. Fails when it is missing, unreadable, no regular
    /// file, larger than kMaxFileBytes or not valid CP932 (naming the line).
    static Expected<ItemReader> openFile(const std::filesystem::path& file);

    /// Reads items from text already decoded; `file` names it in error messages.
    ItemReader(std::string utf8Text, std::filesystem::path file);

    /// True when no item is left.
    bool atEnd() const;

    /// The next item. Reading past the end fails saying how many items the file held, and an
    /// item opened by a double quote fails when its line holds no closing one.
    Expected<Item> next();

    const std::filesystem::path& file() const { return m_file; }

private:
    bool restIsBlank() const;
    void skipSpaces();
    bool atLineEnd() const;
    void consumeLineEnd();

    std::string m_text;
    std::filesystem::path m_file;
    std::size_t m_position = 0;
    /// Everything from m_position up to here is known to be blank, so that asking atEnd() before
    /// each of many blank lines does not scan the same blank stretch again.
    mutable std::size_t m_blankUntil = 0;
    int m_line = 1;
    int m_itemsRead = 0;
    bool m_commaPending = false;
};

}  // namespace gaisan
