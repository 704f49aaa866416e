// SPDX-License-Identifier: MIT
// The twips layout leaves room for captions in a narrow dialog font; desktops
// use wider ones. Captions get the largest size, at most the desktop's, that
// fits every caption of the form in its control; other controls keep the
// desktop's font.
#include "forms/forms_simulate.h"
#include "forms/qt/forms_impl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace zaptrove::platform::forms {

namespace {

constexpr qreal kSmallestCaptionPoints = 6;
constexpr qreal kCaptionPointStep = 0.5;

bool hasCaption(const QWidget* pWidget) {
    return qobject_cast<const QAbstractButton*>(pWidget) != nullptr ||
           qobject_cast<const QLabel*>(pWidget) != nullptr ||
           qobject_cast<const QGroupBox*>(pWidget) != nullptr;
}

QString captionOf(const QWidget* pWidget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(pWidget)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(pWidget)) {
        return label->text();
    }
    return static_cast<const QGroupBox*>(pWidget)->title();
}

// True when the control shows its whole caption in its width.
bool captionFits(const QWidget* pWidget) {
    if (const auto* button = qobject_cast<const QPushButton*>(pWidget)) {
        // A button's own size hint has a minimum width; what counts is the room
        // inside its frame and padding.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect inside =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() <=
               inside.width();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(pWidget)) {
        return frame->minimumSizeHint().width() <= frame->width();
    }
    return pWidget->sizeHint().width() <= pWidget->width(); // labels, check and option boxes
}

} // namespace

void fitCaptions(QWidget& pForm) {
    const QList<QWidget*> widgets = pForm.findChildren<QWidget*>();
    QFont normal = QApplication::font(&pForm);
    if (normal.pointSizeF() <= 0) {
        return; // a font sized in pixels: left as it is
    }
    // Set explicitly, so that controls inside a frame do not take the frame's.
    normal.setPointSizeF(normal.pointSizeF());
    QFont caption = normal;
    for (qreal points = normal.pointSizeF();; points -= kCaptionPointStep) {
        caption.setPointSizeF(std::max(points, kSmallestCaptionPoints));
        for (QWidget* widget : widgets) {
            widget->setFont(hasCaption(widget) ? caption : normal);
        }
        if (points <= kSmallestCaptionPoints ||
            std::all_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
                return !hasCaption(widget) || captionFits(widget);
            })) {
            return;
        }
    }
}

std::vector<std::string> cutCaptions(const Form& pForm) {
    std::vector<std::string> cut;
    for (const QWidget* widget : pForm.impl().widget.findChildren<QWidget*>()) {
        if (hasCaption(widget) && !captionFits(widget)) {
            cut.push_back(captionOf(widget).toStdString());
        }
    }
    return cut;
}

} // namespace zaptrove::platform::forms
