#include "windows/admin/RecordListModel.h"

#include "kit/QtConversions.h"
#include "rules/admin/RecordLine.h"
#include "rules/admin/RecordSnapshot.h"

namespace gaisan {

RecordListModel::RecordListModel(const RecordSnapshot& snapshot, QObject* parent)
    : QAbstractListModel(parent), m_snapshot(snapshot) {}

void RecordListModel::reset(const BrowserStudents& students, std::optional<std::string> schoolCode,
                            std::string schoolName) {
    beginResetModel();
    m_students = &students;
    m_schoolCode = std::move(schoolCode);
    m_schoolName = std::move(schoolName);
    m_numberWidth = recordNumberWidth(m_snapshot.recordCount());
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_students ? 0 : static_cast<int>(m_snapshot.lineCount());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    const std::uint64_t number = m_snapshot.recordOfLine(static_cast<std::size_t>(index.row()));
    return toQString(recordLine(number, m_numberWidth, decodeRecord(m_snapshot.recordBytes(number)),
                                *m_students, m_schoolCode, m_schoolName));
}

}  // namespace gaisan
