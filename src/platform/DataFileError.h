#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace gaisan {

/// A data or configuration file that cannot be used as it stands: missing, unreadable, not valid
/// CP932, or holding something its reader cannot accept. Carries the file and a sentence saying
/// what is wrong, so that the window layer can show both to the teacher.
class DataFileError : public std::runtime_error {
public:
    DataFileError(std::filesystem::path file, std::string problem);

    const std::filesystem::path& file() const { return m_file; }
    const std::string& problem() const { return m_problem; }

private:
    std::filesystem::path m_file;
    std::string m_problem;
};

}  // namespace gaisan
