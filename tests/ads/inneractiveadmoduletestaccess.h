// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "inneractiveadmodule.h"

// What the fuzz harness may reach of the module: its answer handling, which
// sends nothing, and the record.
struct InnerActiveAdModuleTestAccess
{
    static QUrl takeAnswer(InnerActiveAdModule &module, const QByteArray &body)
    {
        return module.takeAnswer(body);
    }

    static QString &adText(InnerActiveAdModule &module) { return module.adText; }
    static QString &adLinkText(InnerActiveAdModule &module) { return module.adLinkText; }
    static QString &adImageUrl(InnerActiveAdModule &module) { return module.adImageUrl; }
    static const QString &clientId(const InnerActiveAdModule &module) { return module.clientId; }
};
