#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace gaisan {

/// Levels are numbered from 1; slot 0 is never a level but receives the criteria file's title line.
inline constexpr int kHighestLevel = 35;
inline constexpr int kLevelSlots = kHighestLevel + 1;
/// Roster indices run from 1 to 5000; slot 0 is never a student.
inline constexpr int kHighestStudent = 5000;
inline constexpr int kStudentSlots = kHighestStudent + 1;

inline bool isLevelSlot(int level) { return level >= 0 && level <= kHighestLevel; }
inline bool isStudentSlot(int student) { return student >= 0 && student <= kHighestStudent; }

/// One value per level slot 0..35. `.at()` refuses any other index.
template <typename T>
using PerLevel = std::array<T, kLevelSlots>;

/// One value per student slot 0..5000. `.at()` refuses any other index.
template <typename T>
using PerStudent = std::array<T, kStudentSlots>;

/// A table of one value per level 0..35 and student 0..5000, allocated once in one block.
/// Indexing outside those bounds throws instead of touching a neighbouring cell.
template <typename T>
class LevelStudentTable {
public:
    explicit LevelStudentTable(T initial = T{})
        : m_cells(static_cast<std::size_t>(kLevelSlots) * kStudentSlots, initial) {}

    T& at(int level, int student) { return m_cells[offsetOf(level, student)]; }
    const T& at(int level, int student) const { return m_cells[offsetOf(level, student)]; }

    void fill(const T& value) { std::fill(m_cells.begin(), m_cells.end(), value); }

private:
    static std::size_t offsetOf(int level, int student) {
        if (!isLevelSlot(level) || !isStudentSlot(student)) {
            throw std::out_of_range("level " + std::to_string(level) + ", student " +
                                    std::to_string(student) + " is outside the tables");
        }
        return static_cast<std::size_t>(level) * kStudentSlots + static_cast<std::size_t>(student);
    }

    std::vector<T> m_cells;
};

}  // namespace gaisan
