// SPDX-License-Identifier: MIT
#include "forms/qt/list_model.h"

#include "forms/qt/forms_impl.h"

namespace zaptrove::platform::forms {

void ListRowsModel::setRows(const std::vector<std::string>& pLines,
                            const std::vector<std::string>& pNotes) {
    beginResetModel();
    // Assigning over the previous rows reuses their strings' storage.
    lines_ = pLines;
    notes_.assign(pNotes.begin(), pNotes.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(pNotes.size(), pLines.size())));
    endResetModel();
}

std::string ListRowsModel::line(int pRow) const {
    return pRow >= 0 && static_cast<std::size_t>(pRow) < lines_.size()
               ? lines_[static_cast<std::size_t>(pRow)]
               : std::string();
}

int ListRowsModel::rowCount(const QModelIndex& pParent) const {
    return pParent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ListRowsModel::data(const QModelIndex& pIndex, int pRole) const {
    const auto row = static_cast<std::size_t>(pIndex.row());
    if (!pIndex.isValid() || row >= lines_.size()) {
        return {};
    }
    switch (pRole) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return toQString(lines_[row]);
    case kNoteRole:
        return row < notes_.size() ? toQString(notes_[row]) : QString();
    default:
        return {};
    }
}

Qt::ItemFlags ListRowsModel::flags(const QModelIndex& pIndex) const {
    return pIndex.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                            : Qt::NoItemFlags;
}

} // namespace zaptrove::platform::forms
