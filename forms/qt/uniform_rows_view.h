// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>

#include <utility>

namespace zaptrove::platform::forms {

// A list of rows of one size, top to bottom, that places each row by
// arithmetic: showing a new list of any length costs the same, where QListView
// lays out every row once. It looks and behaves as a QListView with uniform
// item sizes: the rows take the size the delegate gives the last one, and are
// as wide as the view. Only when scrolling by rows (the usual styles' choice);
// a style that scrolls by pixels gets QListView's own layout.
class UniformRowsView final : public QListView {
  public:
    explicit UniformRowsView(QWidget* pParent);

    QRect visualRect(const QModelIndex& pIndex) const override;
    void scrollTo(const QModelIndex& pIndex, ScrollHint pHint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& pPoint) const override;
    void doItemsLayout() override;
    void reset() override;

  protected:
    void scrollContentsBy(int pDx, int pDy) override;
    bool viewportEvent(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction pAction, Qt::KeyboardModifiers pModifiers) override;
    void setSelection(const QRect& pRect, QItemSelectionModel::SelectionFlags pCommand) override;
    void updateGeometries() override;
    void selectionChanged(const QItemSelection& pSelected,
                          const QItemSelection& pDeselected) override;
    void currentChanged(const QModelIndex& pCurrent, const QModelIndex& pPrevious) override;

  private:
    bool byRows() const;
    void layOutIfDue() const;
    int rows() const;
    // The rows' size, measured on the last row once per layout.
    QSize rowSize() const;
    int rowHeight() const;
    // Whole rows in the viewport's height.
    int rowsInView() const;
    // The row at a height of the contents, unclamped.
    int rowAtHeight(int pY) const;
    // The width rows are painted at: the viewport's, or the rows' if wider.
    int paintedWidth() const;
    QModelIndex indexOfRow(int pRow) const;
    // Where the row of pIndex is in the contents; empty for a row the view does not show.
    QRect rowArea(const QModelIndex& pIndex) const;
    // The rows that pArea of the contents touches, first to last; none when empty.
    std::pair<int, int> rowsIn(const QRect& pArea) const;

    mutable QSize rowSize_;
    QPersistentModelIndex hover_;
};

} // namespace zaptrove::platform::forms
