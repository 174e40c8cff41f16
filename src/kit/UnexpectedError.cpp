#include "kit/UnexpectedError.h"

#include <exception>
#include <new>

namespace gaisan {

QString unexpectedErrorText() {
    const QString opening = QStringLiteral("予期しないエラーのため、プログラムを終了します。\n\n");
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return opening + QStringLiteral("問題：メモリが足りません。");
    } catch (const std::exception& error) {
        return opening + QStringLiteral("問題：") + QString::fromStdString(error.what());
    } catch (...) {
        return opening + QStringLiteral("問題：不明なエラーです。");
    }
}

}  // namespace gaisan
