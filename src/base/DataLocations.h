#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gaisan {

/// Where an installation keeps its files: every file the program and gaisan-records use is named
/// here, once. The suite folder holds the program's folder, "パスデータ.txt" naming the data root,
/// and the launcher; the data root holds the school's settings, the roster and the sound folder;
/// the program's data folder beneath it the criteria, with the copies of the files its saves
/// replaced, the teacher's passcode when one is set with the count of wrong tries at it, and the
/// results file, with the results file's backups, the journal of a delete and the change history
/// beside it.
///
/// Folders end in "/" and names are appended directly, as the suite's other programs build them.
struct DataLocations {
    std::string ProgramFolder;      ///< the folder of the executable
    std::string DataRoot;           ///< the suite's shared data, named by "パスデータ.txt"
    std::string ProgramFolderName;  ///< the last component of ProgramFolder
    std::string ProgramDataFolder;  ///< DataRoot + ProgramFolderName + "/"
    std::string SoundFolder;        ///< DataRoot + "音フォルダ/"

    /// The folders of the program in `programFolder`, whose data root is still to be read from
    /// pathDataFile().
    static DataLocations ofProgramFolder(const std::filesystem::path& programFolder);
    /// Sets the data root, and with it the folders beneath it.
    void setDataRoot(const std::filesystem::path& dataRoot);
    /// The folders of a program data folder named as the command line names it ("…/data/gaisan",
    /// with or without a final separator, or "." from inside it): its data root is the folder
    /// above it.
    static DataLocations ofProgramDataFolder(const std::filesystem::path& folder);
    /// The folders of a data root named as the command line names it.
    static DataLocations ofDataRoot(const std::filesystem::path& dataRoot);

    std::filesystem::path pathDataFile() const;     ///< "パスデータ.txt" in the suite folder
    std::filesystem::path launcherProgram() const;  ///< the suite's launcher, "起動/" beside us
    std::filesystem::path commonSettingsFile() const;  ///< "共通データ.txt"
    std::filesystem::path rosterFile() const;          ///< "新名簿.txt"
    std::filesystem::path soundTableFile() const;  ///< "新音ファイル.txt" in the sound folder
    std::filesystem::path soundFile(const std::string& name) const;
    std::filesystem::path criteriaFile() const;  ///< "タイム回数データ.txt"
    /// The files the criteria editor's saves replaced, beside the criteria file.
    std::filesystem::path criteriaCopiesFolder() const;
    std::filesystem::path passcodeFile() const;  ///< "先生パスコード.txt"
    /// The wrong passcodes typed in a row, shared by the machines: "先生パスコード失敗回数.txt"
    std::filesystem::path passcodeTriesFile() const;
    /// The code a browser enters once to use the classroom's server, and the key its devices'
    /// cookies are signed with: "ブラウザ教室コード.txt"
    std::filesystem::path classroomCodeFile() const;
    std::filesystem::path resultsFile() const;        ///< "成績累積データ.dat"
    std::filesystem::path backupFolder() const;       ///< the daily copies of the results file
    std::filesystem::path deleteJournalFile() const;  ///< written while a record is deleted
    /// The answers of the runs of one school year (April to March), beside the results file, a
    /// file per student: an analysis reads only the years and students it looks at.
    std::filesystem::path answersFolder(int schoolYear) const;  ///< "成績解答データ2026"
};

/// The last component of a folder path, for "/srv/drills/gaisan" "gaisan". Windows separators
/// count as well, so a path written by the suite's Windows machines gives the same name.
std::string programFolderNameOf(std::string_view folder);

}  // namespace gaisan
