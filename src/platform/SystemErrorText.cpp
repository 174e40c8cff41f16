#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace gaisan {
namespace {

const char* japaneseText(int errnoValue) {
    switch (errnoValue) {
        case EROFS:
            return "読み取り専用のドライブです";
        case EISDIR:
            return "ファイルのあるべき場所にフォルダがあります";
        case ENOTDIR:
            return "フォルダのあるべき場所にファイルがあります";
        case ENOSPC:
            return "ディスクがいっぱいです";
        case EDQUOT:
            return "ディスクの使用量の上限（クォータ）に達しました";
        case EACCES:
        case EPERM:
            return "ファイルを使う許可がありません";
        case EIO:
            return "ファイルの読み書き中に装置のエラーが起きました";
        case ESTALE:
            return "共有フォルダとの接続が切れました（ネットワークを確かめてください）";
        case ENOENT:
            return "ファイルまたはフォルダが見つかりません";
        case ESPIPE:
        case ENXIO:
        case ENODEV:
            return "通常のファイルではありません（装置やパイプなど）";
        case ENOLCK:
            return "ファイルをロックできません（共有フォルダがロックに対応していないか、"
                   "ロックの数が上限に達しています）";
        case ENAMETOOLONG:
            return "ファイルの名前か場所が長すぎます";
        case ENOMEM:
            return "メモリが足りません";
        default:
            return nullptr;
    }
}

}  // namespace

std::string systemErrorText(int errnoValue) {
    const char* text = japaneseText(errnoValue);
    return std::string(text ? text : std::strerror(errnoValue)) + "（エラー番号 " +
           std::to_string(errnoValue) + "）";
}

std::string notRegularFileText() {
    return "通常のファイルではありません（フォルダや装置、パイプなど）";
}

}  // namespace gaisan
