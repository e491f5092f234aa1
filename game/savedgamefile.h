// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "savedgame.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// The file of the saved game, in the folder of the high-score tables. Written
// whole or not at all, so a crash or a kill leaves the previous save or the
// new one. A file that cannot be trusted is moved aside with a warning: it is
// neither played nor ever overwritten. The board owns one.
//
// The disk is slow to confirm a write (QSaveFile syncs it), so saves and
// removals are carried out in order on a thread of their own, and the game
// never waits for them; a save that is overtaken before its turn is dropped.
class SavedGameFile
{
public:
    explicit SavedGameFile(const QString &directory);
    // Waits for the last save or removal.
    ~SavedGameFile();
    SavedGameFile(const SavedGameFile &) = delete;
    SavedGameFile &operator=(const SavedGameFile &) = delete;

    QString directory() const { return dir; }
    QString filePath() const { return path; }

    // The saved game; nothing when there is none or it was moved aside.
    std::optional<SavedGame> load();
    void save(const SavedGame &game);
    void remove();
    // Returns once the file holds the last save or removal.
    void flush();

    static QString fileName();

private:
    // A null array removes the file.
    void request(const QByteArray &bytes);
    void writeRequests();
    void carryOut(const QByteArray &bytes);
    QString moveAside() const;

    QString dir;
    QString path;
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<QByteArray> pending;
    bool writing = false;
    bool stopping = false;
    std::thread writer;
    // Warn once when saving fails, not after every piece, and again after a success.
    bool failing = false;
};
