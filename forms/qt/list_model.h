// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>

#include <string>
#include <vector>

namespace zaptrove::platform::forms {

// The role under which a row's note (drawn dimmed after its text) is asked for.
constexpr int kNoteRole = Qt::UserRole + 1;

// A list box's rows held as data: their lines and notes stay UTF-8 and become
// text only when the view asks for a row, so filling the list costs one copy of
// the lines whatever their number, and painting touches only the rows in view.
class ListRowsModel final : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every row; a row beyond pNotes has no note.
    void setRows(const std::vector<std::string>& pLines, const std::vector<std::string>& pNotes);
    // The row's line, empty for a row it does not hold.
    std::string line(int pRow) const;

    int rowCount(const QModelIndex& pParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& pIndex, int pRole) const override;
    Qt::ItemFlags flags(const QModelIndex& pIndex) const override;

  private:
    std::vector<std::string> lines_;
    std::vector<std::string> notes_;
};

} // namespace zaptrove::platform::forms
