// SPDX-License-Identifier: MIT
#include "forms/qt/time_log.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace zaptrove::platform::forms {

namespace {

// Waits for the first paint of a window; the line is written once the event
// that painted it has been handled, so the picture has reached the screen.
class FirstPaintWatch final : public QObject {
  public:
    explicit FirstPaintWatch(QObject* pParent) : QObject(pParent) {}

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint && !reported_) {
            const auto* widget = qobject_cast<QWidget*>(pWatched);
            if (widget != nullptr && widget->isWindow()) {
                reported_ = true;
                QTimer::singleShot(0, this, [this] {
                    const double now = std::chrono::duration<double>(
                                           std::chrono::steady_clock::now().time_since_epoch())
                                           .count();
                    const double processor = static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
                    std::fprintf(stderr, "shown %.6f %.6f\n", now, processor);
                    std::fflush(stderr);
                    QCoreApplication::instance()->removeEventFilter(this);
                });
            }
        }
        return false;
    }

  private:
    bool reported_ = false;
};

} // namespace

void watchFirstPaintWhenAsked() {
    if (qEnvironmentVariableIsEmpty("ZAPTROVE_TIMES")) {
        return;
    }
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new FirstPaintWatch(application));
}

} // namespace zaptrove::platform::forms
