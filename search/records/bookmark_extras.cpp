// SPDX-License-Identifier: MIT
#include "search/records/bookmark_extras.h"

namespace zaptrove {

ExtrasSlot::ExtrasSlot(const ExtrasSlot& pOther)
    : extras_(pOther.extras_ ? std::make_unique<BookmarkExtras>(*pOther.extras_) : nullptr) {}

ExtrasSlot& ExtrasSlot::operator=(const ExtrasSlot& pOther) {
    if (this != &pOther) {
        extras_ = pOther.extras_ ? std::make_unique<BookmarkExtras>(*pOther.extras_) : nullptr;
    }
    return *this;
}

const BookmarkExtras& ExtrasSlot::get() const {
    static const BookmarkExtras kNone;
    return extras_ ? *extras_ : kNone;
}

BookmarkExtras& ExtrasSlot::edit() {
    if (!extras_) {
        extras_ = std::make_unique<BookmarkExtras>();
    }
    return *extras_;
}

} // namespace zaptrove
