#pragma once

#include <string>

namespace gaisan {

/// A sentence in Japanese for a system error number, ending with the number itself, so that a
/// teacher reads what happened and whoever helps them can still look the number up: "読み取り
/// 専用のドライブです（エラー番号 30）". The errors a classroom meets (a read-only or full disk,
/// a folder where a file should be, no permission, a failing device, a lost network share, a
/// device or pipe in place of a file) have their own texts; any other keeps the system's text.
std::string systemErrorText(int errnoValue);

/// What is said of a path that names a folder, device or pipe where a file should be.
std::string notRegularFileText();

}  // namespace gaisan
