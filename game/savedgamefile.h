// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "savedgame.h"

#include <QString>

#include <optional>

// The file of the saved game, in the folder of the high-score tables. Written
// whole or not at all, so a crash or a kill leaves the previous save or the
// new one. A file that cannot be trusted is moved aside with a warning: it is
// neither played nor ever overwritten. The board owns one.
class SavedGameFile
{
public:
    explicit SavedGameFile(const QString &directory);

    QString directory() const { return dir; }
    QString filePath() const { return path; }

    // The saved game; nothing when there is none or it was moved aside.
    std::optional<SavedGame> load() const;
    void save(const SavedGame &game);
    void remove() const;

    static QString fileName();

private:
    QString moveAside() const;

    QString dir;
    QString path;
    // Warn once when saving fails, not after every piece, and again after a success.
    bool failing = false;
};
