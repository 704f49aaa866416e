// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"
#include "forms/qt/time_log.h"

#include <QApplication>
#include <QClipboard>
#include <QTimer>

namespace zaptrove::platform::forms {

struct Application::Impl {
    Impl(int& pArgc, char** pArgv) : application(pArgc, pArgv) {
        // Wayland desktops take the window's icon and name from this desktop entry.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.zaptrove.Zaptrove"));
        watchFirstPaintWhenAsked();
        fitMarksToControls();
    }
    QApplication application;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {}
Application::~Application() = default;
int Application::exec() {
    return QApplication::exec();
}

void doEvents() {
    QCoreApplication::processEvents();
}

void whenIdle(std::function<void()> pAction) {
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(pAction));
}

bool appActivate(std::string_view pCaption) {
    const QString caption = toQString(pCaption);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (dynamic_cast<FormWidget*>(window) != nullptr && window->windowTitle() == caption) {
            window->show();
            window->raise();
            window->activateWindow();
            return true;
        }
    }
    return false;
}

bool shiftHeld() {
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

void clipboardClear() {
    QGuiApplication::clipboard()->clear();
}
void clipboardSetText(std::string_view pText) {
    QGuiApplication::clipboard()->setText(toQString(pText));
}

} // namespace zaptrove::platform::forms
