// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowplacement.h"

#include <QVariant>

#include <algorithm>
#include <optional>

namespace {

// Smaller screens, the handheld's among them, are played full screen.
constexpr QSize DesktopScreen(1024, 700);
constexpr qreal DesktopHeightShare = 0.85;

std::optional<bool> readFlag(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    // The settings file gives its flags back as text.
    if (value.typeId() == QMetaType::QString) {
        if (value.toString() == QLatin1String("true"))
            return true;
        if (value.toString() == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

// The saved geometry, moved onto a screen it overlaps and fits; none if it
// fits no screen any more.
std::optional<QRect> readGeometry(const QVariant &value, const QList<QRect> &screens)
{
    if (value.typeId() != QMetaType::QRect)
        return std::nullopt;
    QRect geometry = value.toRect();
    if (geometry.isEmpty())
        return std::nullopt;
    for (const QRect &screen : screens) {
        if (geometry.width() <= screen.width() && geometry.height() <= screen.height()
            && geometry.intersects(screen)) {
            geometry.moveLeft(std::clamp(geometry.left(), screen.left(), screen.right() + 1 - geometry.width()));
            geometry.moveTop(std::clamp(geometry.top(), screen.top(), screen.bottom() + 1 - geometry.height()));
            return geometry;
        }
    }
    return std::nullopt;
}

} // namespace

WindowPlacement WindowPlacement::choose(const QRect &available, const QList<QRect> &screens,
                                        const QVariant &savedFullScreen, const QVariant &savedGeometry,
                                        const std::function<QSize(int)> &sizeForHeight)
{
    const std::optional<bool> fullScreen = readFlag(savedFullScreen);
    const std::optional<QRect> geometry = readGeometry(savedGeometry, screens);
    if (fullScreen && geometry)
        return { *fullScreen, *geometry };

    const QSize size = sizeForHeight(qRound(available.height() * DesktopHeightShare)).boundedTo(available.size());
    const QRect centred(available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                                     (available.height() - size.height()) / 2),
                        size);
    const bool desktop = available.width() >= DesktopScreen.width() && available.height() >= DesktopScreen.height();
    return { !desktop, centred };
}
