// SPDX-License-Identifier: MIT
// The twips layout leaves room for captions in a narrow dialog font; the
// system's may be wider. Captions get the largest size, at most the dialog
// font's, at which every caption of the form shows whole; other controls keep
// the dialog font.
#include "forms/win32/forms_impl.h"

#include <algorithm>
#include <cstdlib>

namespace zaptrove::platform::forms {

namespace {

constexpr int kSmallestCaptionPoints = 6;
// Pixels a control keeps around its caption: a push button's edge and focus
// frame on either side, the gap between a check box's glyph and its caption
// and the focus frame after it, a frame caption's indent and the gap the
// frame's line keeps on either side.
constexpr int kButtonMargin = 6;
constexpr int kGlyphGap = 6;
constexpr int kFrameCaptionMargin = 10;

// The size of a caption in pFont, wrapped within pWrapWidth when pFormat asks
// for it. The caption of a control that shows prefixes is measured without
// its ampersands.
SIZE captionSize(HWND pControl, HFONT pFont, UINT pFormat, int pWrapWidth = 0) {
    const std::wstring caption = toWide(windowText(pControl));
    const HDC context = GetDC(pControl);
    const HGDIOBJ previousFont = SelectObject(context, pFont);
    RECT rect{0, 0, pWrapWidth, 0};
    DrawTextW(context, caption.c_str(), static_cast<int>(caption.size()), &rect,
              DT_CALCRECT | pFormat);
    SelectObject(context, previousFont);
    ReleaseDC(pControl, context);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT clientRect(HWND pWindow) {
    RECT client{};
    GetClientRect(pWindow, &client);
    return client;
}

int fontHeight(HFONT pFont) {
    LOGFONTW font{};
    GetObjectW(pFont, sizeof font, &font);
    return std::abs(font.lfHeight);
}

bool hasCaption(const Control::Impl& pControl) {
    switch (pControl.kind) {
    case Kind::Frame:
        return pControl.groupBox != nullptr;
    case Kind::Label:
    case Kind::CheckBox:
    case Kind::Option:
    case Kind::Button:
        return true;
    default:
        return false;
    }
}

// Whether a shown control made after this one in the same parent, which lies
// over it, hides it entirely (as the input box hides a button that only
// Escape is meant to reach).
bool isCovered(HWND pWindow) {
    const RECT own = rectInParent(pWindow);
    for (HWND above = GetWindow(pWindow, GW_HWNDPREV); above != nullptr;
         above = GetWindow(above, GW_HWNDPREV)) {
        RECT overlap{};
        if ((GetWindowLongW(above, GWL_STYLE) & WS_VISIBLE) != 0) {
            const RECT other = rectInParent(above);
            if (IntersectRect(&overlap, &own, &other) && EqualRect(&overlap, &own)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

RECT frameCaptionArea(const Control::Impl& pFrame) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(pFrame.groupBox, WM_GETFONT, 0, 0));
    const SIZE caption = captionSize(pFrame.groupBox, font, DT_SINGLELINE);
    constexpr int indent = kFrameCaptionMargin / 2;
    return RECT{indent, 0, indent + caption.cx, caption.cy};
}

bool captionFits(const Control::Impl& pControl, HFONT pFont) {
    const HWND window = pControl.window;
    if (!hasCaption(pControl) || isCovered(window)) {
        return true;
    }
    const RECT client = clientRect(window);
    switch (pControl.kind) {
    case Kind::Label: {
        const SIZE size = captionSize(window, pFont, DT_WORDBREAK | DT_NOPREFIX, client.right);
        return size.cx <= client.right && size.cy <= client.bottom;
    }
    case Kind::CheckBox:
    case Kind::Option:
        return captionSize(window, pFont, DT_SINGLELINE).cx + GetSystemMetrics(SM_CXMENUCHECK) +
                   kGlyphGap <=
               client.right;
    case Kind::Button:
        return captionSize(window, pFont, DT_SINGLELINE).cx + 2 * kButtonMargin <= client.right;
    default: // a frame's box
        return captionSize(pControl.groupBox, pFont, DT_SINGLELINE).cx + 2 * kFrameCaptionMargin <=
               client.right;
    }
}

// Each smaller size is tried in whole pixels down to the smallest, which is
// kept even if some caption is still cut.
void Form::Impl::fitCaptions() const {
    const int smallest = MulDiv(kSmallestCaptionPoints, static_cast<int>(dotsPerInch), 72);
    HFONT font = dialogFont(dotsPerInch);
    for (int smaller = 1;; ++smaller) {
        const bool allFit = std::all_of(controls.begin(), controls.end(), [font](auto* control) {
            return captionFits(*control, font);
        });
        const HFONT next = dialogFont(dotsPerInch, smaller);
        if (allFit || fontHeight(next) < smallest) {
            break;
        }
        font = next;
    }
    for (const Control::Impl* control : controls) {
        if (hasCaption(*control)) {
            control->setFont(font);
        }
    }
}

} // namespace zaptrove::platform::forms
