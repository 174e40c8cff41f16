#include "stores/results/SharedFilesCheck.h"

#include <unistd.h>

#include <optional>

#include "base/ResultRecord.h"
#include "platform/ClosesOnExit.h"
#include "platform/Machine.h"
#include "platform/SharedFileMode.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DailyBackup.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InsertJournal.h"

namespace gaisan {
namespace {

bool writable(const std::filesystem::path& path) { return ::access(path.c_str(), W_OK) == 0; }

/// The day of record `number` (from 1), or nothing when it cannot be read.
std::optional<double> dayOfRecord(RecordFile& file, std::uint64_t number) {
    RecordBytes bytes;
    const Expected<std::size_t> bytesRead = file.readAt((number - 1) * ResultRecord::kSize, bytes);
    if (!bytesRead || *bytesRead != bytes.size()) return std::nullopt;
    return decodeRunFields(bytes).date;
}

/// Whether the file's last record is of `today` (or later, from a machine whose clock runs ahead)
/// and its first of an earlier day. Records are appended in time order, so the file then held
/// records when today's first run was recorded.
bool recordedTodayAfterEarlierDays(RecordFile& file, const std::filesystem::path& resultsFile,
                                   const CivilDate& today) {
    ClosesOnExit closes(file);
    if (!file.openForReading(resultsFile)) return false;
    const Expected<std::uint64_t> length = file.length();
    if (!length) return false;
    const std::uint64_t records = *length / ResultRecord::kSize;
    if (records < 2) return false;
    const double todaySerial = daySerial(today);
    const std::optional<double> first = dayOfRecord(file, 1);
    const std::optional<double> last = dayOfRecord(file, records);
    return first && last && *first < todaySerial && *last >= todaySerial;
}

}  // namespace

std::vector<std::string> sharedFileProblemsOf(RecordFile& file,
                                              const std::filesystem::path& resultsFile,
                                              const CivilDate& today) {
    std::vector<std::string> problems;
    for (const std::filesystem::path& shared :
         {resultsFile, deleteJournalPathOf(resultsFile), insertJournalPathOf(resultsFile),
          historyFileOf(resultsFile), pendingChangeFileOf(resultsFile)}) {
        if (auto problem = sharingProblemOf(shared)) problems.push_back(*problem);
    }

    const std::filesystem::path dataFolder =
        resultsFile.has_parent_path() ? resultsFile.parent_path() : ".";
    const std::filesystem::path folder = backupFolderOf(resultsFile);
    const bool recorder = writable(resultsFile);
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        if (auto problem = sharingProblemOf(folder)) {
            problems.push_back(*problem + "。ほかのユーザーの記録ではバックアップが作られません");
        } else if (recorder && !writable(folder)) {
            problems.push_back(folder.string() + ": このユーザー（" + userName() +
                               "）には書き込む許可がないため、このユーザーの記録ではバックアップが"
                               "作られません");
        }
    } else if (std::filesystem::exists(folder, error)) {
        problems.push_back(
            folder.string() +
            ": フォルダのあるべき場所にファイルがあるため、バックアップを作れません");
    } else if (recorder && !writable(dataFolder)) {
        problems.push_back(dataFolder.string() + ": このユーザー（" + userName() +
                           "）には書き込む許可がないため、バックアップのフォルダ「" +
                           folder.filename().string() + "」を作れません");
    }

    const std::vector<std::filesystem::path> backups = backupsOf(resultsFile);
    if (backups.size() > kKeptBackups) {
        problems.push_back(backups.back().string() + ": 古いバックアップが消されていません（" +
                           std::to_string(backups.size()) + "個あります。残すのは" +
                           std::to_string(kKeptBackups) + "個です）");
    }
    const std::filesystem::path todays = backupFileOf(resultsFile, today);
    if (!std::filesystem::exists(todays, error) &&
        recordedTodayAfterEarlierDays(file, resultsFile, today)) {
        problems.push_back(todays.string() +
                           ": 今日の記録がありますが、今日のバックアップがありません");
    }
    return problems;
}

}  // namespace gaisan
