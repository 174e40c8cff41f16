#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/AppState.h"
#include "platform/Expected.h"

namespace gaisan {

/// The school name of "共通データ.txt", split from the five-digit code it may begin with.
struct SchoolNameAndCode {
    std::string name;
    std::optional<std::string> code;
};

/// A text whose first five characters have a leading number other than 0 is a code followed by
/// the name: "01234ABC" is code "01234", name "ABC". "ABCDEFG" and "00000ABC" are names only.
SchoolNameAndCode splitSchoolCode(std::string_view text);

/// The school's settings from "共通データ.txt": ten items, of which the first three are used.
/// Fails when the file is missing, short of items or its month is no month.
Expected<CommonConfiguration> readCommonConfiguration(const std::filesystem::path& file);

/// The start-up's configuration load, in this order: the data root from "パスデータ.txt" beside
/// the program's folder, the school's settings from "共通データ.txt", the subject title, the
/// criteria table and the sound table. Fails naming the first file that is missing, unreadable
/// or short of items, criteria that lack a level of the level table or break a rule, or a sound
/// table that lacks a cue the program plays. Nothing else can run without these: the program
/// ends after telling the failure.
Expected<void> LoadConfiguration(AppState& state, const std::filesystem::path& programFolder);

}  // namespace gaisan
