// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"

#include <QPainter>
#include <QStyle>

namespace zaptrove::platform::forms {

QRect FrameWidget::captionArea() const {
    const QFontMetrics metrics = fontMetrics();
    const int margin = metrics.averageCharWidth();
    return {margin, 0, metrics.horizontalAdvance(title()) + margin, metrics.height()};
}

int FrameWidget::borderTop() const {
    return fontMetrics().height() / 2;
}

void FrameWidget::paintEvent(QPaintEvent* /*pEvent*/) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, borderTop(), -1, -1));
    const QRect caption = captionArea();
    painter.fillRect(caption, palette().window());
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

} // namespace zaptrove::platform::forms
