#include "platform/Machine.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <vector>

namespace gaisan {

std::string hostName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0 || name[0] == '\0') return "?";
    return name.data();
}

std::string userName() {
    const uid_t user = geteuid();
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name) {
        return found->pw_name;
    }
    return std::to_string(user);
}

}  // namespace gaisan
