#pragma once

#include <QAbstractListModel>

#include <optional>
#include <string>

namespace gaisan {

struct BrowserStudents;
class RecordSnapshot;

/// The records browser's lines, made from the snapshot only when the list shows them: a list of
/// a million records costs no more to open than one of a hundred.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT

public:
    RecordListModel(const RecordSnapshot& snapshot, QObject* parent);

    /// The snapshot and the students changed: every line is made afresh.
    void reset(const BrowserStudents& students, std::optional<std::string> schoolCode,
               std::string schoolName);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const RecordSnapshot& m_snapshot;
    const BrowserStudents* m_students = nullptr;
    std::optional<std::string> m_schoolCode;
    std::string m_schoolName;
    std::size_t m_numberWidth = 4;
};

}  // namespace gaisan
