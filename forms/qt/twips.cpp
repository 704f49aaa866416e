// SPDX-License-Identifier: MIT
#include "forms/qt/forms_impl.h"

#include <QGuiApplication>
#include <QScreen>

namespace zaptrove::platform::forms {

float twipsPerPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return 1440.0f / static_cast<float>(screen != nullptr ? screen->logicalDotsPerInchX() : 96.0);
}

std::vector<TwipsRect> screenWorkAreas() {
    std::vector<TwipsRect> areas;
    const float twips = twipsPerPixelX();
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const TwipsRect rect{
            static_cast<float>(area.x()) * twips, static_cast<float>(area.y()) * twips,
            static_cast<float>(area.width()) * twips, static_cast<float>(area.height()) * twips};
        areas.insert(screen == primary ? areas.begin() : areas.end(), rect);
    }
    return areas;
}

int sideOf(const QRect& pRect, Side pSide) {
    switch (pSide) {
    case Side::Left:
        return pRect.x();
    case Side::Top:
        return pRect.y();
    case Side::Width:
        return pRect.width();
    case Side::Height:
        return pRect.height();
    }
    return 0;
}

void setSideOf(QRect& pRect, Side pSide, int pPixels) {
    switch (pSide) {
    case Side::Left:
        pRect.moveLeft(pPixels);
        break;
    case Side::Top:
        pRect.moveTop(pPixels);
        break;
    case Side::Width:
        pRect.setWidth(pPixels);
        break;
    case Side::Height:
        pRect.setHeight(pPixels);
        break;
    }
}

} // namespace zaptrove::platform::forms
