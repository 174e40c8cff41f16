#include "platform/ItemReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace gaisan {
namespace {

std::vector<std::string> allItems(const std::string& text) {
    ItemReader reader(text, "test.txt");
    std::vector<std::string> items;
    while (!reader.atEnd()) items.push_back(reader.next()->text);
    return items;
}

struct ItemCase {
    const char* name;
    std::string text;
    std::vector<std::string> items;
};

TEST(ItemReader, SplitsAtCommasAndLineEnds) {
    const std::vector<ItemCase> cases = {
        {"commas and CR LF", "1,abc\r\n2,def\r\n", {"1", "abc", "2", "def"}},
        {"LF only", "1,abc\n2,def\n", {"1", "abc", "2", "def"}},
        {"CR only", "1,abc\r2\r", {"1", "abc", "2"}},
        {"no line end at the end", "1,abc\r\n2", {"1", "abc", "2"}},
        {"quoted comma", "\"a,b\",c\r\n", {"a,b", "c"}},
        {"quoted spaces kept", "\" a \",b", {" a ", "b"}},
        {"surrounding spaces dropped", "  a b  ,\tc\t\r\n", {"a b", "c"}},
        {"full-width spaces kept", "山田　太郎,x", {"山田　太郎", "x"}},
        {"empty items between commas", "a,,b", {"a", "", "b"}},
        {"a trailing comma promises an empty item", "a,\r\nb,\r\n", {"a", "", "b", ""}},
        {"twelve fields with three empty at the end",
         "1,2,3,4,5,6,7,8,9,,,\r\n",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "", "", ""}},
        {"blank line in the middle is one empty item", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"blank lines at the end are no items", "a\r\n\r\n  \r\n\r\n", {"a"}},
        {"empty file", "", {}},
        {"text after a closing quote is dropped", "\"ab\"cd,e", {"ab", "e"}},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(allItems(c.text), c.items);
    }
}

TEST(ItemReader, TellsWhereEachItemStood) {
    ItemReader reader("a,b\r\n\"c\"\r\nd", "test.txt");
    const Item a = reader.next().value();
    const Item b = reader.next().value();
    const Item c = reader.next().value();
    const Item d = reader.next().value();
    EXPECT_TRUE(a.startsLine);
    EXPECT_FALSE(a.endsLine);
    EXPECT_FALSE(b.startsLine);
    EXPECT_TRUE(b.endsLine);
    EXPECT_EQ(b.line, 1);
    EXPECT_TRUE(c.quoted);
    EXPECT_EQ(c.line, 2);
    EXPECT_EQ(d.line, 3);
    EXPECT_TRUE(d.endsLine);
    EXPECT_TRUE(reader.atEnd());
}

TEST(ItemReader, ReadingPastTheEndSaysHowManyItemsThereWere) {
    ItemReader reader("a,b\r\n", "short.txt");
    ASSERT_TRUE(reader.next());
    ASSERT_TRUE(reader.next());
    const Expected<Item> past = reader.next();
    ASSERT_FALSE(past) << "read past the end";
    EXPECT_EQ(past.error().file, "short.txt");
    EXPECT_NE(past.error().problem.find("3番目"), std::string::npos) << past.error().problem;
    EXPECT_NE(past.error().problem.find("2項目"), std::string::npos) << past.error().problem;
}

TEST(ItemReader, RefusesAnUnclosedQuote) {
    ItemReader reader("a\r\n\"bc\r\nd\"\r\n", "quote.txt");
    ASSERT_TRUE(reader.next());
    const Expected<Item> unclosed = reader.next();
    ASSERT_FALSE(unclosed) << "an unclosed quote was accepted";
    EXPECT_NE(unclosed.error().problem.find("2行目"), std::string::npos)
        << unclosed.error().problem;
}

TEST(ItemReader, ReadsCp932FilesWithCharactersBeyondPlainShiftJis) {
    testing::TempFolder folder;
    const auto file = folder.writeCp932("names.txt", "①,Ⅰ,髙橋,～,\\\r\n");
    ItemReader reader = ItemReader::openFile(file).value();
    std::vector<std::string> items;
    while (!reader.atEnd()) items.push_back(reader.next()->text);
    EXPECT_EQ(items, (std::vector<std::string>{"①", "Ⅰ", "髙橋", "～", "\\"}));
}

TEST(ItemReader, NamesTheFileAndLineOfBadBytesAndAMissingFile) {
    testing::TempFolder folder;
    // 0x82 is a lead byte; 0x20 cannot follow it.
    const auto bad = folder.writeBytes("bad.txt", "ok\r\nok\r\n\x82\x20\r\n");
    const Expected<ItemReader> badBytes = ItemReader::openFile(bad);
    ASSERT_FALSE(badBytes) << "invalid CP932 accepted";
    EXPECT_EQ(badBytes.error().file, bad);
    EXPECT_NE(badBytes.error().problem.find("3行目"), std::string::npos)
        << badBytes.error().problem;
    const Expected<ItemReader> missing = ItemReader::openFile(folder / "missing.txt");
    ASSERT_FALSE(missing) << "a missing file was opened";
    EXPECT_EQ(missing.error().file, folder / "missing.txt");
    EXPECT_EQ(missing.error().problem, "ファイルがありません。");
}

TEST(ItemReader, HostileFilesAreRefusedNamingTheFile) {
    testing::TempFolder folder;
    std::filesystem::create_directory(folder / "a folder.txt");
    std::filesystem::create_symlink("/dev/zero", folder / "never ends.txt");
    ASSERT_EQ(mkfifo((folder / "a pipe.txt").c_str(), 0600), 0);
    // Sparse: a file just over the limit costs no disk.
    std::filesystem::resize_file(folder.writeBytes("huge.txt", ""), ItemReader::kMaxFileBytes + 1);
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        {"a folder.txt", "通常のファイルではありません（フォルダや装置、パイプなど）。"},
        {"never ends.txt", "通常のファイルではありません（フォルダや装置、パイプなど）。"},
        {"a pipe.txt", "通常のファイルではありません（フォルダや装置、パイプなど）。"},
        {"huge.txt",
         "ファイルが大きすぎます（16 MB まで）。壊れたファイルか、別のファイルと"
         "取り違えていないか確かめてください。"},
    };
    for (const auto& c : cases) {
        const Expected<ItemReader> reader = ItemReader::openFile(folder / c.name);
        if (reader) {
            ADD_FAILURE() << c.name << " was read";
            continue;
        }
        EXPECT_EQ(reader.error().file, folder / c.name);
        EXPECT_EQ(reader.error().problem, c.problem) << c.name;
    }
}

TEST(ItemReader, LongLinesAndLongBlankStretchesReadInOnePass) {
    // Shapes that once took minutes: every quoted item rescanned the rest of its line, and
    // every blank line rescanned the blank stretch after it.
    std::string oneLine;
    for (int i = 0; i < 200000; ++i) oneLine += "\"x\",";
    oneLine += "end";
    ItemReader wide(oneLine, "wide.txt");
    int items = 0;
    while (!wide.atEnd()) {
        ASSERT_TRUE(wide.next());
        ++items;
    }
    EXPECT_EQ(items, 200001);

    ItemReader tall(std::string(500000, '\n') + "x\r\n", "tall.txt");
    items = 0;
    std::string last;
    while (!tall.atEnd()) {
        last = tall.next()->text;
        ++items;
    }
    EXPECT_EQ(items, 500001);
    EXPECT_EQ(last, "x");
}

}  // namespace
}  // namespace gaisan
