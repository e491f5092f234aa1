// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The per-mode top-10 files and the game-over text that lists them.
// Widget-free: the board makes one at game over and keeps only the list.
class HighScoreTable
{
public:
    static constexpr int MaxEntries = 10;

    // Beside the executable when a file can be written there, else the
    // per-user data directory.
    HighScoreTable();
    explicit HighScoreTable(const QString &directory);

    QString directory() const { return dir; }
    QString filePath(const QString &mode) const;

    // Reads the mode's file, merges the result in, saves the first 10 entries
    // and returns the whole merged list for the game-over screen. place, when
    // given, receives the result's index in that list.
    QStringList record(const QString &mode, int result, int *place = nullptr) const;

    static QString fileName(const QString &mode);
    static QString chooseDirectory(const QString &programDirectory);
    static int resultOf(const QString &mode, int score, int numLinesRemoved);
    static QStringList merge(const QStringList &stored, int result);
    static int placeOf(const QStringList &stored, int result);
    static QString gameOverText(const QString &mode, int result, const QStringList &highScores);

private:
    QString dir;
};
