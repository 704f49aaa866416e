// SPDX-License-Identifier: MIT
#include "forms/win32/forms_impl.h"

#include <algorithm>

namespace zaptrove::platform::forms {

// The timer runs on its form's window, with its Impl's address as its id; the
// form hands the WM_TIMER on while the timer is among its own.
Timer::Impl::Impl(Timer& pTimer, Form& pForm) : timer(pTimer), form(pForm.impl()) {
    form.timers.push_back(this);
}

Timer::Impl::~Impl() {
    stop();
    std::erase(form.timers, this);
}

UINT_PTR Timer::Impl::id() const {
    return reinterpret_cast<UINT_PTR>(this);
}

void Timer::Impl::stop() {
    if (form.window != nullptr) {
        KillTimer(form.window, id());
    }
}

// Once only: the system would repeat it.
void Timer::Impl::elapsed() {
    stop();
    fire(timer.onTimeout);
}

Timer::Timer(Form& pForm) : impl_(std::make_unique<Impl>(*this, pForm)) {}

Timer::~Timer() = default;

void Timer::start(int pMilliseconds) {
    if (impl_->form.window != nullptr) {
        SetTimer(impl_->form.window, impl_->id(), static_cast<UINT>(std::max(pMilliseconds, 1)),
                 nullptr);
    }
}

void Timer::stop() {
    impl_->stop();
}

} // namespace zaptrove::platform::forms
