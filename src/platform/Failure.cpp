#include "platform/Failure.h"

namespace gaisan {

std::string Failure::text() const {
    if (file.empty()) return problem;
    return file.string() + ": " + problem;
}

}  // namespace gaisan
