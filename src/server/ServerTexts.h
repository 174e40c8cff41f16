#pragma once

#include <string_view>

namespace gaisan {

// The texts only the browser's pages show: the classroom code, which a desktop machine never
// asks for, the keys of the on-screen number pad, and the tap that lets a browser play sounds.

inline constexpr std::string_view kCodePrompt = "教室コードを入れなさい";
inline constexpr std::string_view kCodeOk = "O.K.";
inline constexpr std::string_view kWrongCode = "教室コードがちがいます。先生に聞きなさい。";
inline constexpr std::string_view kWaitBeforeCode =
    "まちがいが続きました。少し待ってから入れなさい。";
inline constexpr std::string_view kNextKey = "決定";
inline constexpr std::string_view kBackKey = "消す";
inline constexpr std::string_view kEnableSound = "ここを押すと音が出ます";

}  // namespace gaisan
