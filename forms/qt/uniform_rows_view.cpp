// SPDX-License-Identifier: MIT
#include "forms/qt/uniform_rows_view.h"

#include <QAccessible>
#include <QHoverEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace zaptrove::platform::forms {

namespace {

// Tells assistive technology of pEvent on the row of pIndex.
void announce(QListView& pView, QAccessible::Event pEvent, const QModelIndex& pIndex) {
    QAccessibleEvent event(&pView, pEvent);
    event.setChild(pIndex.row());
    QAccessible::updateAccessibility(&event);
}

} // namespace

UniformRowsView::UniformRowsView(QWidget* pParent) : QListView(pParent) {
    setUniformItemSizes(true);
}

int UniformRowsView::rows() const {
    return model() != nullptr && model()->columnCount(rootIndex()) > 0
               ? model()->rowCount(rootIndex())
               : 0;
}

QSize UniformRowsView::rowSize() const {
    if (!rowSize_.isValid() && rows() > 0) {
        const QModelIndex last = indexOfRow(rows() - 1);
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = QRect(QPoint(), maximumViewportSize());
        const QAbstractItemDelegate* delegate = itemDelegateForIndex(last);
        rowSize_ = delegate != nullptr ? delegate->sizeHint(option, last) : QSize();
    }
    return rowSize_;
}

int UniformRowsView::rowHeight() const {
    return std::max(rowSize().height(), 1);
}

int UniformRowsView::rowsInView() const {
    return viewport()->height() / rowHeight();
}

int UniformRowsView::rowAtHeight(int pY) const {
    return pY >= 0 ? pY / rowHeight() : -1;
}

int UniformRowsView::paintedWidth() const {
    return std::max(viewport()->width(), rowSize().width());
}

QModelIndex UniformRowsView::indexOfRow(int pRow) const {
    return model()->index(pRow, modelColumn(), rootIndex());
}

std::pair<int, int> UniformRowsView::rowsIn(const QRect& pArea) const {
    const QRect area = pArea.normalized();
    if (rows() == 0 || area.right() < 0 || area.top() > rows() * rowSize().height()) {
        return {0, -1};
    }
    return {std::clamp(rowAtHeight(area.top()), 0, rows() - 1),
            std::min(rowAtHeight(area.bottom()), rows() - 1)};
}

// As QListView, finding rows lays out a list whose layout is still due.
void UniformRowsView::layOutIfDue() const {
    const_cast<UniformRowsView*>(this)->executeDelayedItemsLayout();
}

QRect UniformRowsView::rowArea(const QModelIndex& pIndex) const {
    if (!pIndex.isValid() || pIndex.model() != model() || pIndex.parent() != rootIndex() ||
        pIndex.column() != modelColumn() || isRowHidden(pIndex.row())) {
        return {};
    }
    layOutIfDue();
    const int height = rowSize().height();
    return {0, pIndex.row() * height, paintedWidth(), height};
}

bool UniformRowsView::byRows() const {
    return verticalScrollMode() == ScrollPerItem;
}

QRect UniformRowsView::visualRect(const QModelIndex& pIndex) const {
    if (!byRows()) {
        return QListView::visualRect(pIndex);
    }
    const QRect rect = rowArea(pIndex);
    return rect.isValid() ? rect.translated(-horizontalOffset(), -verticalOffset()) : rect;
}

QModelIndex UniformRowsView::indexAt(const QPoint& pPoint) const {
    if (!byRows()) {
        return QListView::indexAt(pPoint);
    }
    const QRect point(pPoint.x() + horizontalOffset(), pPoint.y() + verticalOffset(), 1, 1);
    layOutIfDue();
    const auto [first, last] = rowsIn(point);
    if (last < first) {
        return {};
    }
    const QModelIndex index = indexOfRow(last);
    return visualRect(index).contains(pPoint) ? index : QModelIndex();
}

int UniformRowsView::horizontalOffset() const {
    return byRows() ? horizontalScrollBar()->value() : QListView::horizontalOffset();
}

int UniformRowsView::verticalOffset() const {
    return byRows() ? std::clamp(verticalScrollBar()->value(), 0, rows()) * rowSize().height()
                    : QListView::verticalOffset();
}

// The scroll bar counts rows; the contents move by their height.
void UniformRowsView::scrollContentsBy(int pDx, int pDy) {
    if (!byRows()) {
        QListView::scrollContentsBy(pDx, pDy);
        return;
    }
    const int value = verticalScrollBar()->value();
    const int dy = (std::clamp(value + pDy, 0, rows()) - value) * rowSize().height();
    viewport()->scroll(pDx, dy); // what is still in view moves, the rest is painted
}

void UniformRowsView::reset() {
    rowSize_ = QSize();
    hover_ = QPersistentModelIndex();
    QListView::reset();
}

// What QListView's layout does besides placing each row: the rows measured
// again, the scroll bars fitted, the view repainted.
void UniformRowsView::doItemsLayout() {
    if (!byRows()) {
        QListView::doItemsLayout();
        return;
    }
    const State before = state();
    setState(ExpandingState); // the scroll bars' showing resizes the view: no layout again
    rowSize_ = QSize();
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): QListView's places every row
    QAbstractItemView::doItemsLayout();
    setState(before);
}

void UniformRowsView::updateGeometries() {
    if (!byRows()) {
        QListView::updateGeometries();
        return;
    }
    if (geometry().isEmpty() || rows() <= 0) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
    } else {
        const QSize size = rowSize();
        horizontalScrollBar()->setSingleStep(size.width());
        horizontalScrollBar()->setPageStep(viewport()->width());
        horizontalScrollBar()->setRange(0, size.width() - viewport()->width());
        // When every row fits, a page is one more than the rows, as in QListView.
        const int page = rows() * size.height() <= viewport()->height() ? rows() + 1 : rowsInView();
        verticalScrollBar()->setSingleStep(1);
        verticalScrollBar()->setPageStep(page);
        verticalScrollBar()->setRange(0, rows() - page);
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): QListView's fits its own layout
    QAbstractItemView::updateGeometries();
    setViewportMargins(viewportMargins()); // shows or hides the scroll bars now
}

void UniformRowsView::scrollTo(const QModelIndex& pIndex, ScrollHint pHint) {
    if (!byRows()) {
        QListView::scrollTo(pIndex, pHint);
        return;
    }
    if (pIndex.parent() != rootIndex() || pIndex.column() != modelColumn()) {
        return;
    }
    const QRect rect = visualRect(pIndex);
    if (!rect.isValid()) {
        return;
    }
    const QRect area = viewport()->rect();
    if (pHint == EnsureVisible && area.contains(rect)) {
        viewport()->update(rect);
        return;
    }
    QScrollBar& bar = *verticalScrollBar();
    if (pHint == EnsureVisible) {
        pHint = rect.top() < area.top()         ? PositionAtTop
                : rect.bottom() > area.bottom() ? PositionAtBottom
                                                : EnsureVisible;
    }
    const int row = pIndex.row();
    // The rows that fit in the view with this one at its bottom.
    const int fitting = std::max(1, std::min(row + 1, area.height() / rowHeight()));
    switch (pHint) {
    case PositionAtTop:
        bar.setValue(row);
        break;
    case PositionAtBottom:
        bar.setValue(row - fitting + 1);
        break;
    case PositionAtCenter:
        bar.setValue(row - fitting / 2);
        break;
    default:
        bar.setValue(std::clamp(bar.value(), 0, rows()));
        break;
    }
}

// Moves as QListView does: a page keeps the current row in view.
QModelIndex UniformRowsView::moveCursor(CursorAction pAction, Qt::KeyboardModifiers pModifiers) {
    if (!byRows()) {
        return QListView::moveCursor(pAction, pModifiers);
    }
    const QModelIndex current = currentIndex();
    const int count = rows();
    if (count == 0) {
        return {};
    }
    if (!current.isValid()) {
        return indexOfRow(0);
    }
    const int row = current.row();
    const int page = rowsInView();
    int next = row;
    switch (pAction) {
    case MoveUp:
    case MovePrevious:
        next = row - 1;
        break;
    case MoveDown:
    case MoveNext:
        next = row + 1;
        break;
    case MovePageUp:
        next = row + 1 - page;
        break;
    case MovePageDown:
        next = row - 1 + page;
        break;
    case MoveHome:
        next = 0;
        break;
    case MoveEnd:
        next = count - 1;
        break;
    default:
        break;
    }
    return indexOfRow(std::clamp(next, 0, count - 1));
}

void UniformRowsView::setSelection(const QRect& pRect,
                                   QItemSelectionModel::SelectionFlags pCommand) {
    if (!byRows()) {
        QListView::setSelection(pRect, pCommand);
        return;
    }
    if (selectionModel() == nullptr) {
        return;
    }
    // A click selects the row under it, a drag the rows between its corners'.
    const QRect rect = pRect.normalized().translated(horizontalOffset(), verticalOffset());
    layOutIfDue();
    const int first = rowsIn(QRect(rect.topLeft(), QSize(1, 1))).second;
    const int last = rowsIn(QRect(rect.bottomRight(), QSize(1, 1))).second;
    QItemSelection selection;
    if (first >= 0 && last >= 0) {
        selection.select(indexOfRow(std::min(first, last)), indexOfRow(std::max(first, last)));
    }
    selectionModel()->select(selection, pCommand);
}

bool UniformRowsView::viewportEvent(QEvent* pEvent) {
    switch (pEvent->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        hover_ = indexAt(static_cast<QHoverEvent*>(pEvent)->position().toPoint());
        break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
        hover_ = QPersistentModelIndex();
        break;
    default:
        break;
    }
    return QListView::viewportEvent(pEvent);
}

void UniformRowsView::paintEvent(QPaintEvent* pEvent) {
    if (!byRows()) {
        QListView::paintEvent(pEvent);
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QPainter painter(viewport());
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const QStyle::State state = option.state;
    const bool enabled = (state & QStyle::State_Enabled) != 0;
    const auto [first, last] =
        rowsIn(pEvent->rect().translated(horizontalOffset(), verticalOffset()));
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = indexOfRow(row);
        option.rect = visualRect(index);
        option.state = state;
        if (selectionModel() != nullptr && selectionModel()->isSelected(index)) {
            option.state |= QStyle::State_Selected;
        }
        if (enabled) {
            const bool rowEnabled = (model()->flags(index) & Qt::ItemIsEnabled) != 0;
            option.state.setFlag(QStyle::State_Enabled, rowEnabled);
            option.palette.setCurrentColorGroup(rowEnabled ? QPalette::Normal : QPalette::Disabled);
        }
        if (focus && current == index) {
            option.state |= QStyle::State_HasFocus;
            if (this->state() == EditingState) {
                option.state |= QStyle::State_Editing;
            }
        }
        option.state.setFlag(QStyle::State_MouseOver, index == hover_);
        if (alternatingRowColors()) {
            option.features.setFlag(QStyleOptionViewItem::Alternate, (row & 1) != 0);
            const QStyle::State withSelection = option.state;
            option.state &= ~QStyle::State_Selected;
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
            option.state = withSelection;
        }
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

// QListView's own would name the row by its place in a layout never made.
void UniformRowsView::selectionChanged(const QItemSelection& pSelected,
                                       const QItemSelection& pDeselected) {
    if (!byRows()) {
        QListView::selectionChanged(pSelected, pDeselected);
        return;
    }
    if (QAccessible::isActive()) {
        if (const QModelIndex selected = pSelected.indexes().value(0); selected.isValid()) {
            announce(*this, QAccessible::SelectionAdd, selected);
        }
        if (const QModelIndex deselected = pDeselected.indexes().value(0); deselected.isValid()) {
            announce(*this, QAccessible::SelectionRemove, deselected);
        }
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): QListView's announces the wrong row
    QAbstractItemView::selectionChanged(pSelected, pDeselected);
}

void UniformRowsView::currentChanged(const QModelIndex& pCurrent, const QModelIndex& pPrevious) {
    if (!byRows()) {
        QListView::currentChanged(pCurrent, pPrevious);
        return;
    }
    if (QAccessible::isActive() && pCurrent.isValid() && hasFocus()) {
        announce(*this, QAccessible::Focus, pCurrent);
    }
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): QListView's announces the wrong row
    QAbstractItemView::currentChanged(pCurrent, pPrevious);
}

} // namespace zaptrove::platform::forms
