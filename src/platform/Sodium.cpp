#include "platform/Sodium.h"

#include <sodium.h>

#include <stdexcept>

namespace gaisan {

void startSodium() {
    static const int started = sodium_init();
    if (started < 0) throw std::runtime_error("libsodium could not be started");
}

}  // namespace gaisan
