#include "platform/Failure.h"

namespace gaisan {

std::string Failure::text() const {
    if (file.empty()) return problem;
    return file.string() + ": " + problem;
}

Failure fileFailure(std::filesystem::path file, FileError error) {
    std::string problem = error.description;
    return {std::move(file), std::move(problem), std::move(error)};
}

}  // namespace gaisan
