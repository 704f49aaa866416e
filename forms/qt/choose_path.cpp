// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"

#include <QFileDialog>

namespace zaptrove::platform::forms {

std::optional<std::string> choosePath(const Form& pOwner, std::string_view pTitle,
                                      std::string_view pStart, bool pFolder) {
    QWidget* owner = &pOwner.impl().widget;
    const QString title = toQString(pTitle);
    const QString start = toQString(pStart);
    const QString chosen = pFolder ? QFileDialog::getExistingDirectory(owner, title, start)
                                   : QFileDialog::getOpenFileName(owner, title, start);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

} // namespace zaptrove::platform::forms
