// SPDX-License-Identifier: MIT
// The list box's view against Qt's own QListView with uniform item sizes: the
// same rows, scroll bars, hits and pixels after each key, wheel turn, click,
// resize and new list.
#include "forms/qt/uniform_rows_view.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStringListModel>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using zaptrove::platform::forms::UniformRowsView;

QString scrollBar(const QScrollBar& pBar) {
    return QStringLiteral("%1..%2 page %3 step %4 at %5 %6")
        .arg(pBar.minimum())
        .arg(pBar.maximum())
        .arg(pBar.pageStep())
        .arg(pBar.singleStep())
        .arg(pBar.value())
        .arg(pBar.isVisible() ? "shown" : "hidden");
}

void focus(QListView& pView) {
    pView.setFocus();
    QCoreApplication::processEvents();
}

// The parts of a view's rows that pAction has painted (which the screen shows
// beside the parts scrolled), with the view focused.
QString paintedBy(QListView& pView, const std::function<void(QListView&)>& pAction) {
    class Recorder final : public QObject {
      public:
        bool eventFilter(QObject*, QEvent* pEvent) override {
            if (pEvent->type() == QEvent::Paint) {
                for (const QRect& part : static_cast<QPaintEvent*>(pEvent)->region()) {
                    parts += QStringLiteral(" %1,%2 %3x%4")
                                 .arg(part.x())
                                 .arg(part.y())
                                 .arg(part.width())
                                 .arg(part.height());
                }
            }
            return false;
        }
        QString parts;
    } recorder;
    focus(pView);
    pView.viewport()->installEventFilter(&recorder);
    pAction(pView);
    QCoreApplication::processEvents();
    pView.viewport()->removeEventFilter(&recorder);
    return recorder.parts;
}

// What a user can tell of the view: its current row, scroll bars, the places
// of some rows, the rows at some points, and its pixels with the focus.
std::string seen(QListView& pView) {
    QString text = QStringLiteral("current %1, %2, %3")
                       .arg(pView.currentIndex().row())
                       .arg(scrollBar(*pView.verticalScrollBar()))
                       .arg(scrollBar(*pView.horizontalScrollBar()));
    const int rows = pView.model()->rowCount();
    for (const int row : {0, 1, rows / 2, rows - 1}) {
        const QRect rect = pView.visualRect(pView.model()->index(row, 0));
        text += QStringLiteral(", row %1 at %2,%3 %4x%5")
                    .arg(row)
                    .arg(rect.x())
                    .arg(rect.y())
                    .arg(rect.width())
                    .arg(rect.height());
    }
    const QSize size = pView.viewport()->size();
    for (const QPoint at : {QPoint(1, 1), QPoint(size.width() - 2, size.height() - 2),
                            QPoint(-3, 5), QPoint(size.width() + 9, 5)}) {
        text +=
            QStringLiteral(", %1 under %2,%3").arg(pView.indexAt(at).row()).arg(at.x()).arg(at.y());
    }
    focus(pView);
    const QImage pixels = pView.grab().toImage();
    text += QStringLiteral(", pixels %1").arg(qHashBits(pixels.constBits(), pixels.sizeInBytes()));
    return text.toStdString();
}

void press(QListView& pView, int pKey) {
    QKeyEvent event(QEvent::KeyPress, pKey, Qt::NoModifier);
    QCoreApplication::sendEvent(&pView, &event);
}

void turnWheel(QListView& pView, int pDelta) {
    const QPoint at(10, 10);
    QWheelEvent event(at, pView.viewport()->mapToGlobal(at), QPoint(), QPoint(0, pDelta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(pView.viewport(), &event);
}

void click(QListView& pView, QPoint pAt) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, pAt, pView.viewport()->mapToGlobal(pAt), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(pView.viewport(), &event);
    }
}

TEST(UniformRowsView, ShowsScrollsAndMovesAsQListView) {
    QCursor::setPos(5000, 5000); // over neither view
    // A long list, one whose last row (which sets the rows' width) is wider
    // than the view, one that fits, one row, and none.
    for (const auto& [rowCount, wideRow] : {std::pair(94502, -1), std::pair(1000, 999),
                                            std::pair(5, -1), std::pair(1, -1), std::pair(0, -1)}) {
        const int count = rowCount;
        QStringList lines;
        for (int i = 0; i < count; ++i) {
            lines << QStringLiteral("row %1 %2").arg(i).arg(i == wideRow ? QString(90, 'w') : "");
        }
        QStringListModel rows(lines);
        QWidget window;
        QListView before(&window);
        UniformRowsView after(&window);
        QListView* const views[] = {&before, &after};
        const auto both = [&](const std::function<void(QListView&)>& pAction) {
            const QString paintedBefore = paintedBy(before, pAction);
            EXPECT_EQ(paintedBefore.toStdString(), paintedBy(after, pAction).toStdString())
                << count << " rows";
            const std::string seenBefore = seen(before);
            EXPECT_EQ(seenBefore, seen(after)) << count << " rows";
        };
        // Filled while hidden, as the window's list is.
        for (QListView* view : views) {
            view->setModel(&rows);
            view->setUniformItemSizes(true);
            view->setGeometry(view == &before ? 0 : 400, 0, 300, 250);
            view->selectionModel()->setCurrentIndex(rows.index(0, 0),
                                                    QItemSelectionModel::ClearAndSelect);
        }
        window.show();
        QCoreApplication::processEvents();
        both([](QListView&) {});
        for (const int key :
             {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_End, Qt::Key_PageUp,
              Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_PageUp, Qt::Key_Right}) {
            both([&](QListView& pView) { press(pView, key); });
        }
        for (const int delta : {-360, 120, -120}) {
            both([&](QListView& pView) { turnWheel(pView, delta); });
        }
        both([&](QListView& pView) { click(pView, QPoint(20, 100)); });
        both([&](QListView& pView) { pView.horizontalScrollBar()->setValue(37); });
        both([&](QListView& pView) { pView.resize(250, 173); });
        for (const auto hint :
             {QAbstractItemView::PositionAtCenter, QAbstractItemView::EnsureVisible,
              QAbstractItemView::PositionAtBottom}) {
            both([&](QListView& pView) { pView.scrollTo(rows.index(count * 2 / 3, 0), hint); });
        }
        both([&](QListView& pView) { pView.setAlternatingRowColors(true); });
        if (count > 0) { // (QListView repaints an empty list at End: nothing to see)
            rows.setStringList(lines.mid(0, std::max(1, count / 3)));
            both([&](QListView& pView) { press(pView, Qt::Key_End); });
        }
    }
}

} // namespace
