#include "stores/results/InterruptedMove.h"

namespace gaisan {

std::string InterruptedMove::sentence() const {
    const bool putBack = change == Change::PutBack;
    const std::string record = "記録" + std::to_string(recordNumber);
    const std::string ofRecord = record + (putBack ? "の復元" : "の消去");
    switch (finding) {
        case Finding::None:
            return {};
        case Finding::NothingMoved:
            return putBack ? "途中で止まった記録の復元が見つかりました。まだ何も動かしていなかった"
                             "ので、ファイルは元のままです（その記録は戻っていません）。"
                           : "途中で止まった記録の消去が見つかりました。まだ何も動かしていなかった"
                             "ので、ファイルは元のままです（その記録は消えていません）。";
        case Finding::Completed:
            return "途中で止まった" + ofRecord + "が見つかり、最後まで済ませました。";
        case Finding::AlreadyComplete:
            return "途中で止まった" + ofRecord + "が見つかりましたが、" +
                   (putBack ? "記録は戻っていました。" : "消去は済んでいました。") +
                   "残っていた控えを片づけました。";
        case Finding::OtherFileSetAside:
            return "消去の控えの名前のファイルがありましたが、控えではなかったので「" +
                   setAsideAs.filename().string() + "」と名前を変えて残しました。";
        case Finding::NotMatching:
            return "途中で止まった" + ofRecord +
                   "の控えが見つかりましたが、今のファイルと"
                   "合わないため、ファイルには手を付けずに控えを片づけました。";
    }
    return {};
}

}  // namespace gaisan
