// SPDX-License-Identifier: MIT
#include "forms/qt/list_model.h"

#include "forms/qt/forms_impl.h"

namespace zaptrove::platform::forms {

void PackedLines::assign(const std::vector<std::string>& pLines, std::size_t pCount) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < pCount; ++i) {
        total += pLines[i].size();
    }
    std::string text;
    text.reserve(total);
    std::vector<std::size_t> ends;
    ends.reserve(pCount);
    for (std::size_t i = 0; i < pCount; ++i) {
        text += pLines[i];
        ends.push_back(text.size());
    }
    text_ = std::move(text);
    ends_ = std::move(ends);
}

std::string_view PackedLines::operator[](std::size_t pIndex) const {
    const std::size_t begin = pIndex == 0 ? 0 : ends_[pIndex - 1];
    return std::string_view(text_).substr(begin, ends_[pIndex] - begin);
}

void ListRowsModel::setRows(std::size_t pCount, RowText pLine, RowText pNote) {
    beginResetModel();
    count_ = pCount;
    line_ = std::move(pLine);
    note_ = std::move(pNote);
    endResetModel();
}

std::string ListRowsModel::line(int pRow) const {
    return pRow >= 0 && static_cast<std::size_t>(pRow) < count_
               ? line_(static_cast<std::size_t>(pRow))
               : std::string();
}

int ListRowsModel::rowCount(const QModelIndex& pParent) const {
    return pParent.isValid() ? 0 : static_cast<int>(count_);
}

QVariant ListRowsModel::data(const QModelIndex& pIndex, int pRole) const {
    const auto row = static_cast<std::size_t>(pIndex.row());
    if (!pIndex.isValid() || row >= count_) {
        return {};
    }
    switch (pRole) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return toQString(line_(row));
    case kNoteRole:
        return note_ ? toQString(note_(row)) : QString();
    default:
        return {};
    }
}

Qt::ItemFlags ListRowsModel::flags(const QModelIndex& pIndex) const {
    return pIndex.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                            : Qt::NoItemFlags;
}

} // namespace zaptrove::platform::forms
