// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/design_font.h"
#include "app/message_placement.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <windows.h>

namespace kelmora {
namespace {

// The title's width in the title bar's own font, as Windows measures it when
// it draws the caption; 0 where the system does not say.
int captionTextWidth(const QString& title, const NONCLIENTMETRICSW& metrics) {
    HDC screen = ::GetDC(nullptr);
    if (!screen) {
        return 0;
    }
    HFONT font = ::CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ previous = ::SelectObject(screen, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(screen, reinterpret_cast<const wchar_t*>(title.utf16()),
                            static_cast<int>(title.size()), &extent);
    ::SelectObject(screen, previous);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    return extent.cx;
}

} // namespace

int widthForTitle(const QString& title) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        return 0;
    }
    // The caption holds, besides the title: the frame's borders on both
    // sides, the window icon with a gap, and up to three buttons (a dialog has
    // only the close button, but systems differ in what they add).
    constexpr int kButtons = 3;
    const int borders =
        2 * (::GetSystemMetrics(SM_CXSIZEFRAME) + ::GetSystemMetrics(SM_CXPADDEDBORDER));
    const int icon = ::GetSystemMetrics(SM_CXSMICON) + 2 * ::GetSystemMetrics(SM_CXEDGE);
    // The system's metrics are in physical pixels; the layout counts Qt's.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    // Under Wine an X window manager may draw the frame instead, with a
    // sans-serif title of about the same size: the wider of the two counts.
    QFont sans = designFont();
    sans.setPixelSize(std::max(1, qRound(std::abs(metrics.lfCaptionFont.lfHeight) / ratio)));
    sans.setBold(true);
    const int sansWidth =
        static_cast<int>(std::ceil(QFontMetricsF(sans).horizontalAdvance(title) * ratio));
    const int physical = std::max(captionTextWidth(title, metrics), sansWidth) + borders + icon +
                         kButtons * metrics.iCaptionWidth + metrics.iCaptionHeight;
    return static_cast<int>(std::ceil(physical / ratio));
}

} // namespace kelmora
