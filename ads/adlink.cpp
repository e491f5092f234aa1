// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adlink.h"

#include <QUrl>

bool isWebUrl(const QUrl &url)
{
    // QUrl keeps schemes in lower case, so "HTTP:" passes too.
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
