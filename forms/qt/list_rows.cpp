// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"
#include "forms/qt/list_model.h"

#include <QApplication>
#include <QHelpEvent>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QToolTip>

namespace zaptrove::platform::forms {

namespace {

const QString kNoteGap = QStringLiteral("    ");

// The text broken into lines no wider than pWidth pixels in pFont, between
// words where it can and anywhere in a word longer than a line (an address).
QString wrapped(const QString& pText, const QFont& pFont, int pWidth) {
    QStringList lines;
    for (const QString& paragraph : pText.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, pFont);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = lines.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(pWidth);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
        if (lines.size() == before) {
            lines.append(QString());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

// Shows the tooltip of the row under the mouse, as its list's rowToolTip
// answers it; rich text with every line kept, so that no name is read as markup.
class RowToolTips final : public QObject {
  public:
    RowToolTips(QListView& pList, std::function<std::optional<std::string>(int)> pText)
        : QObject(&pList), list_(pList), text_(std::move(pText)) {
        pList.viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* pEvent) override {
        if (pEvent->type() != QEvent::ToolTip) {
            return false;
        }
        const auto* help = static_cast<QHelpEvent*>(pEvent);
        const QModelIndex index = list_.indexAt(help->pos());
        const std::optional<std::string> text = text_(index.isValid() ? index.row() : -1);
        if (!text) {
            return false;
        }
        if (text->empty()) {
            QToolTip::hideText();
            return true;
        }
        const QScreen* screen = list_.screen();
        const int width = (screen != nullptr ? screen->availableGeometry().width() : 1200) / 3;
        // The tooltip's own frame and margins take a little of the width.
        const QString lines = wrapped(toQString(*text), QToolTip::font(), width - 16);
        QToolTip::showText(help->globalPos(),
                           QStringLiteral("<p style=\"white-space:pre\">") + lines.toHtmlEscaped() +
                               QStringLiteral("</p>"),
                           list_.viewport(), list_.visualRect(index));
        return true;
    }

  private:
    QListView& list_;
    std::function<std::optional<std::string>(int)> text_;
};

// Draws each row's note after its text, dimmed.
class NotedRows final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* pPainter, const QStyleOptionViewItem& pOption,
               const QModelIndex& pIndex) const override {
        QStyledItemDelegate::paint(pPainter, pOption, pIndex);
        const QString note = pIndex.data(kNoteRole).toString();
        if (note.isEmpty()) {
            return;
        }
        QStyleOptionViewItem item(pOption);
        initStyleOption(&item, pIndex);
        const QStyle* style = item.widget != nullptr ? item.widget->style() : QApplication::style();
        QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, item.widget);
        area.setLeft(area.left() + margin + 1 + item.fontMetrics.horizontalAdvance(item.text) +
                     item.fontMetrics.horizontalAdvance(kNoteGap));
        area.setRight(
            std::max(area.right(), area.left() + item.fontMetrics.horizontalAdvance(note)));
        QColor colour = item.palette.color((item.state & QStyle::State_Selected) != 0
                                               ? QPalette::HighlightedText
                                               : QPalette::Text);
        colour.setAlphaF(0.55f);
        pPainter->save();
        pPainter->setFont(item.font);
        pPainter->setPen(colour);
        pPainter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, note);
        pPainter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& pOption, const QModelIndex& pIndex) const override {
        QSize size = QStyledItemDelegate::sizeHint(pOption, pIndex);
        const QString note = pIndex.data(kNoteRole).toString();
        if (!note.isEmpty()) {
            size.rwidth() += pOption.fontMetrics.horizontalAdvance(kNoteGap + note);
        }
        return size;
    }
};

} // namespace

void showRowToolTips(QListView& pList, std::function<std::optional<std::string>(int)> pText) {
    new RowToolTips(pList, std::move(pText));
}

void showRowNotes(QListView& pList) {
    pList.setItemDelegate(new NotedRows(&pList));
}

} // namespace zaptrove::platform::forms
