// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zaptrove {

// Text that many records hold alike (a folder path, a source's name), shared so
// that copying a record copies none of its characters. Records compare by the
// text.
class SharedText {
  public:
    SharedText() = default;
    explicit SharedText(std::string pText)
        : text_(pText.empty() ? nullptr : std::make_shared<const std::string>(std::move(pText))) {}

    std::string_view view() const { return text_ ? std::string_view(*text_) : std::string_view(); }
    bool empty() const { return text_ == nullptr; }

    bool operator==(const SharedText& pOther) const { return view() == pOther.view(); }

  private:
    std::shared_ptr<const std::string> text_;
};

} // namespace zaptrove
