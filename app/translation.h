// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLocale;
class QTranslator;

// Loads the game's compiled-in translation that best fits the locale.
// Returns false, and the game stays in English, when none fits.
bool loadTranslation(QTranslator &translator, const QLocale &locale);
