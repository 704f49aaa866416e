// SPDX-License-Identifier: MIT
#include "text/code_point_case.h"

#include <clocale>
#include <cwctype>
#include <initializer_list>
#include <locale.h>

namespace zaptrove::platform {

namespace {

// The C.UTF-8 locale carries the full Unicode simple case mapping whatever the
// user's own locale is, so lower-casing never depends on the environment.
locale_t unicodeLocale() {
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, locale_t{})) {
                return l;
            }
        }
        return locale_t{};
    }();
    return locale;
}

} // namespace

char32_t lowerCodePoint(char32_t codePoint) {
    const locale_t locale = unicodeLocale();
    if (locale == locale_t{}) {
        return codePoint;
    }
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(codePoint), locale));
}

} // namespace zaptrove::platform
