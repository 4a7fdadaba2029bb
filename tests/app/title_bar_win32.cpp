// SPDX-License-Identifier: GPL-3.0-or-later
#include "title_bar.h"

#include <QWidget>
#include <windows.h>

namespace kelmora::testing {

std::optional<TitleBarRoom> titleBarRoom(const QWidget& window) {
    const auto handle = reinterpret_cast<HWND>(window.winId());
    TITLEBARINFO bar{};
    bar.cbSize = sizeof(bar);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::GetTitleBarInfo(handle, &bar) ||
        !::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        return std::nullopt;
    }
    // The title bar without the window menu; its buttons (minimize,
    // maximize, help, close) take a caption button's width each.
    int available = bar.rcTitleBar.right - bar.rcTitleBar.left;
    for (int button = 2; button <= 5; ++button) {
        if (!(bar.rgstate[button] & STATE_SYSTEM_INVISIBLE)) {
            available -= metrics.iCaptionWidth;
        }
    }
    wchar_t title[256];
    const int length = ::GetWindowTextW(handle, title, 256);
    HDC screen = ::GetDC(nullptr);
    HFONT font = ::CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ previous = ::SelectObject(screen, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(screen, title, length, &extent);
    ::SelectObject(screen, previous);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    return TitleBarRoom{available, static_cast<int>(extent.cx)};
}

} // namespace kelmora::testing
