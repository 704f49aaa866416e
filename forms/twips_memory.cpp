// SPDX-License-Identifier: MIT
#include "forms/twips_memory.h"

#include <cmath>

namespace zaptrove::platform::forms {

int toPixels(float pTwips, float pTwipsPerPixel) {
    return static_cast<int>(std::lround(pTwips / pTwipsPerPixel));
}

float TwipsMemory::get(Side pSide, int pMeasured, int pShown, float pTwipsPerPixel) const {
    const std::optional<Entry>& entry = entries_[static_cast<std::size_t>(pSide)];
    return entry && entry->pixels == pMeasured ? entry->twips
                                               : static_cast<float>(pShown) * pTwipsPerPixel;
}

void TwipsMemory::remember(Side pSide, float pTwips, int pMeasured) {
    entries_[static_cast<std::size_t>(pSide)] = Entry{pTwips, pMeasured};
}

} // namespace zaptrove::platform::forms
