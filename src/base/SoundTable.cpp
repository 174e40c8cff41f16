#include "base/SoundTable.h"

#include "platform/ItemReader.h"

namespace gaisan {

const std::string& cueName(int cue) {
    static const std::array<std::string, kCueCount + 1> names = {
        "",        "正解音1",     "正解音2",     "間違い音1",   "間違い音2", "最高音1",
        "最高音2", "自己最高音1", "自己最高音2", "自己最高音3", "不合格音1",
    };
    return names.at(cue);
}

Expected<void> LoadSoundTable(const std::filesystem::path& file, SoundTable& table) {
    table = SoundTable{};
    for (int cue = 1; cue <= kCueCount; ++cue) table.cues[cue].name = cueName(cue);
    Expected<ItemReader> reader = ItemReader::openFile(file);
    if (!reader) return Unexpected(reader.error());
    while (!reader->atEnd()) {
        const Expected<Item> item = reader->next();
        if (!item) return Unexpected(item.error());
        for (int cue = 1; cue <= kCueCount; ++cue) {
            SoundCue& entry = table.cues[cue];
            if (item->text != entry.name) continue;
            for (int step = 1; step <= kCueFileSlots; ++step) {
                if (reader->atEnd()) {
                    return Unexpected(Failure{file, std::to_string(item->line) + "行目の「" +
                                                        entry.name +
                                                        "」の一覧が「*」で終わる前に、ファイルが"
                                                        "終わっています。"});
                }
                const Expected<Item> fileItem = reader->next();
                if (!fileItem) return Unexpected(fileItem.error());
                if (fileItem->text == "*") {
                    entry.count = step - 1;
                    break;
                }
                entry.files[step] = fileItem->text;
            }
        }
    }
    return {};
}

Expected<void> checkPlayedCues(const std::filesystem::path& file, const SoundTable& table) {
    for (const int cue : {kCorrectCue, kWrongCue, kPersonalBestCue, kFailCue}) {
        const SoundCue& entry = table.cues[cue];
        if (!entry.count) {
            return Unexpected(Failure{file, "「" + entry.name +
                                                "」の一覧がありません（音の名前の行、"
                                                "音ファイルの名前の行、「*」の行が必要です）。"});
        }
        if (*entry.count == 0) {
            return Unexpected(
                Failure{file, "「" + entry.name + "」の一覧に音ファイルの名前がありません。"});
        }
    }
    return {};
}

}  // namespace gaisan
