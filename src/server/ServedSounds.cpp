#include "server/ServedSounds.h"

#include <utility>

namespace gaisan {

PlayResult ServedSounds::play(const std::filesystem::path& waveFile) {
    auto [entry, added] = m_numbers.try_emplace(waveFile, static_cast<int>(m_files.size()));
    if (added) m_files.push_back(waveFile);
    m_played.push_back(entry->second);
    return {};
}

std::vector<int> ServedSounds::takePlayed() { return std::exchange(m_played, {}); }

std::optional<std::filesystem::path> ServedSounds::file(int number) const {
    if (number < 0 || number >= static_cast<int>(m_files.size())) return std::nullopt;
    return m_files[static_cast<std::size_t>(number)];
}

}  // namespace gaisan
