#pragma once

namespace gaisan {

/// Starts libsodium before its first use. sodium_init is safe to call again, but once is enough;
/// it fails only without a source of randomness, and then no salt, code or key could be made:
/// the program cannot go on (std::runtime_error).
void startSodium();

}  // namespace gaisan
