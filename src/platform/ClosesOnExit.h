#pragma once

#include "platform/RecordFile.h"

namespace gaisan {

/// Closes a record file whatever way an operation leaves, so that no file or lock is held
/// between operations.
class ClosesOnExit {
public:
    explicit ClosesOnExit(RecordFile& file) : m_file(file) {}
    ~ClosesOnExit() { m_file.close(); }
    ClosesOnExit(const ClosesOnExit&) = delete;
    ClosesOnExit& operator=(const ClosesOnExit&) = delete;

private:
    RecordFile& m_file;
};

}  // namespace gaisan
