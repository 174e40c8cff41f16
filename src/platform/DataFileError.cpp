#include "platform/DataFileError.h"

namespace gaisan {

DataFileError::DataFileError(std::filesystem::path file, std::string problem)
    : std::runtime_error(file.string() + ": " + problem),
      m_file(std::move(file)),
      m_problem(std::move(problem)) {}

}  // namespace gaisan
