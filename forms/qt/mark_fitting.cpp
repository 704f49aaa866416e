// SPDX-License-Identifier: MIT
// Option and check boxes keep the heights their forms give them in twips, which
// at a large text size (or for a low control) are less than the style's mark.
// The style then draws the mark at the control's height, so it is never cut
// off by the control's edges.
#include "forms/forms_simulate.h"
#include "forms/qt/forms_impl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <algorithm>

namespace zaptrove::platform::forms {

namespace {

class IndicatorFittingStyle final : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric pMetric, const QStyleOption* pOption,
                    const QWidget* pWidget) const override {
        const int metric = QProxyStyle::pixelMetric(pMetric, pOption, pWidget);
        const bool isMark = pMetric == PM_IndicatorWidth || pMetric == PM_IndicatorHeight ||
                            pMetric == PM_ExclusiveIndicatorWidth ||
                            pMetric == PM_ExclusiveIndicatorHeight;
        if (isMark && qobject_cast<const QAbstractButton*>(pWidget) != nullptr) {
            return std::clamp(pWidget->height(), 1, metric);
        }
        return metric;
    }
};

} // namespace

void fitMarksToControls() {
    QApplication::setStyle(new IndicatorFittingStyle); // the application owns it
}

std::vector<std::string> cutMarks(const Form& pForm) {
    std::vector<std::string> cut;
    for (const QAbstractButton* button : pForm.impl().widget.findChildren<QAbstractButton*>()) {
        const bool isOption = qobject_cast<const QRadioButton*>(button) != nullptr;
        if (!isOption && qobject_cast<const QCheckBox*>(button) == nullptr) {
            continue;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect mark = button->style()->subElementRect(
            isOption ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option,
            button);
        if (!button->rect().contains(mark)) {
            cut.push_back(button->text().toStdString());
        }
    }
    return cut;
}

} // namespace zaptrove::platform::forms
