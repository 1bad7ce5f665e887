// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/QtScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tessmar {
namespace {

const QScreen* Primary() {
    return QGuiApplication::primaryScreen();
}

} // namespace

int QtScreenMetrics::ScreenWidth() const {
    return Primary() ? Primary()->geometry().width() : 0;
}

int QtScreenMetrics::ScreenHeight() const {
    return Primary() ? Primary()->geometry().height() : 0;
}

int QtScreenMetrics::PixelsPerInch() const {
    return Primary() ? int(std::lround(Primary()->logicalDotsPerInch())) : 96;
}

ScreenRect QtScreenMetrics::WorkArea() const {
    if (!Primary()) {
        return {};
    }
    const QRect r = Primary()->availableGeometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

bool QtScreenMetrics::WindowsPlaceable() const {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace tessmar
