// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedgamefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr int MaxAsideNames = 1000;
}

SavedGameFile::SavedGameFile(const QString &directory)
    : dir(directory)
    , path(QDir::toNativeSeparators(directory + u'/' + fileName()))
{
}

SavedGameFile::~SavedGameFile()
{
    if (!writer.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    writer.join();
}

QString SavedGameFile::fileName()
{
    return QStringLiteral("savedgame.json");
}

std::optional<SavedGame> SavedGameFile::load()
{
    flush();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QString why;
    std::optional<SavedGame> game;
    // Only a plain file: a FIFO would block the start, a device never end.
    QFile file(path);
    if (!info.isFile())
        why = QStringLiteral("not a plain file");
    else if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else
        game = SavedGame::fromJson(file.read(SavedGame::MaxSize + 1), &why);
    if (!game) {
        file.close();
        const QString aside = moveAside();
        qWarning("Saved game: %s cannot be used (%s); %s, starting without it", qPrintable(path), qPrintable(why),
                 aside.isEmpty() ? "it could not be moved aside" : qPrintable(QStringLiteral("moved to ") + aside));
    }
    return game;
}

// The first free name of savedgame.json.bad, savedgame.json.bad-2, ...; a
// rename never replaces a file, so nothing moved aside earlier is lost.
QString SavedGameFile::moveAside() const
{
    for (int n = 1; n <= MaxAsideNames; ++n) {
        const QString aside = path + QStringLiteral(".bad") + (n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        if (QFile::rename(path, aside))
            return aside;
        if (!QFileInfo::exists(aside) && !QFileInfo(aside).isSymLink())
            break;
    }
    return {};
}

void SavedGameFile::save(const SavedGame &game)
{
    request(game.toJson());
}

void SavedGameFile::remove()
{
    request(QByteArray());
}

void SavedGameFile::flush()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !pending && !writing; });
}

void SavedGameFile::request(const QByteArray &bytes)
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        pending = bytes;
    }
    if (!writer.joinable())
        writer = std::thread(&SavedGameFile::writeRequests, this);
    changed.notify_all();
}

void SavedGameFile::writeRequests()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return pending || stopping; });
        if (!pending)
            return;
        const QByteArray bytes = *pending;
        pending.reset();
        writing = true;
        lock.unlock();
        carryOut(bytes);
        lock.lock();
        writing = false;
        changed.notify_all();
    }
}

void SavedGameFile::carryOut(const QByteArray &bytes)
{
    if (bytes.isNull()) {
        QFile::remove(path);
        return;
    }
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!saved && !failing)
        qWarning("Saved game: cannot save %s (%s)", qPrintable(path), qPrintable(file.errorString()));
    failing = !saved;
}
