// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "translation.h"

#include <QLocale>
#include <QTranslator>

bool loadTranslation(QTranslator &translator, const QLocale &locale)
{
    return translator.load(locale, QStringLiteral("tumblox"), QStringLiteral("_"), QStringLiteral(":/i18n"));
}
