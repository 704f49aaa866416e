// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove::platform::forms {

// The role under which a row's note (drawn dimmed after its text) is asked for.
constexpr int kNoteRole = Qt::UserRole + 1;

// Lines kept end to end in one buffer, so that filling them allocates nothing
// per line.
class PackedLines {
  public:
    // Keeps the first pCount of pLines.
    void assign(const std::vector<std::string>& pLines, std::size_t pCount);
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t pIndex) const;

  private:
    std::string text_;
    std::vector<std::size_t> ends_;
};

// A list box's rows held as data: each row's line and note is made and turned
// into text only when the view asks for that row, so filling the list costs
// nothing per row, and painting touches only the rows in view.
class ListRowsModel final : public QAbstractListModel {
  public:
    using RowText = std::function<std::string(std::size_t)>;
    using QAbstractListModel::QAbstractListModel;

    // Replaces every row by pCount rows that pLine and pNote make; with no
    // pNote, no row has a note.
    void setRows(std::size_t pCount, RowText pLine, RowText pNote);
    // The row's line, empty for a row it does not hold.
    std::string line(int pRow) const;

    int rowCount(const QModelIndex& pParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& pIndex, int pRole) const override;
    Qt::ItemFlags flags(const QModelIndex& pIndex) const override;

  private:
    std::size_t count_ = 0;
    RowText line_;
    RowText note_;
};

} // namespace zaptrove::platform::forms
