// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"

#include <QTimer>

namespace zaptrove::platform::forms {

struct Timer::Impl {
    QTimer timer;
};

Timer::Timer(Form& /*pForm*/) : impl_(std::make_unique<Impl>()) {
    impl_->timer.setSingleShot(true);
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->timer, [this] { fire(onTimeout); });
}

Timer::~Timer() = default;

void Timer::start(int pMilliseconds) {
    impl_->timer.start(pMilliseconds);
}

void Timer::stop() {
    impl_->timer.stop();
}

} // namespace zaptrove::platform::forms
