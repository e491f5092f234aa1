// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "highscoretable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>

namespace {

// QSaveFile needs to create a file beside the target, so try exactly that;
// permission bits say nothing when running as root.
bool canCreateFileIn(const QString &directory)
{
    QTemporaryFile probe(directory + QStringLiteral("/.highscores-XXXXXX"));
    return probe.open();
}

// One entry per line as written. Carriage returns before the line feed belong
// to a line end saved on Windows, not to the entry; dropping them all keeps a
// rewritten table reading back the same.
QStringList entriesFrom(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (lines.constLast().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        while (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

// False only for a file that exists but cannot be read: that one must be kept.
bool readEntries(const QString &path, QStringList *entries)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    *entries = entriesFrom(bytes);
    return true;
}

// All or nothing: a crash or a full disk leaves the previous table whole.
bool writeEntries(const QString &path, const QStringList &entries)
{
    QByteArray bytes;
    for (const QString &entry : entries)
        bytes += entry.toUtf8() + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

HighScoreTable::HighScoreTable()
    : HighScoreTable(chooseDirectory(QCoreApplication::applicationDirPath()))
{
}

HighScoreTable::HighScoreTable(const QString &directory)
    : dir(directory)
{
}

QString HighScoreTable::filePath(const QString &mode) const
{
    return QDir::toNativeSeparators(dir + u'/' + fileName(mode));
}

QStringList HighScoreTable::record(const QString &mode, int result, int *place) const
{
    const QString path = filePath(mode);
    QStringList stored;
    const bool readable = readEntries(path, &stored);
    if (place)
        *place = placeOf(stored, result);
    if (!readable) {
        qWarning("High scores: cannot read %s, leaving it untouched", qPrintable(path));
        return merge({}, result);
    }
    const QStringList merged = merge(stored, result);
    if (!writeEntries(path, merged.mid(0, MaxEntries)))
        qWarning("High scores: cannot save %s, keeping the previous table", qPrintable(path));
    return merged;
}

QString HighScoreTable::fileName(const QString &mode)
{
    return QStringLiteral("highscores_") + mode + QStringLiteral(".txt");
}

// An installed game cannot write beside itself; a build folder or a portable
// copy can, and keeps its tables there.
QString HighScoreTable::chooseDirectory(const QString &programDirectory)
{
    if (canCreateFileIn(programDirectory))
        return programDirectory;
    const QString dataDirectory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDirectory);
    return dataDirectory;
}

int HighScoreTable::resultOf(const QString &mode, int score, int numLinesRemoved)
{
    return mode == QLatin1String("lines") ? numLinesRemoved : score;
}

// Stored lines keep their text and order; anything that is not a number
// counts as 0. The result goes in front of the first strictly smaller entry.
QStringList HighScoreTable::merge(const QStringList &stored, int result)
{
    QStringList merged = stored;
    merged.insert(placeOf(stored, result), QString::number(result));
    return merged;
}

int HighScoreTable::placeOf(const QStringList &stored, int result)
{
    const auto smaller = std::find_if(stored.begin(), stored.end(),
                                      [result](const QString &entry) { return result > entry.toInt(); });
    return int(smaller - stored.begin());
}

QString HighScoreTable::gameOverText(const QString &mode, int result, const QStringList &highScores)
{
    QString text = QStringLiteral("Game Over!\n Top 10 scores \"") + mode.toUpper()
                   + QStringLiteral("\":\n");
    const QString resultText = QString::number(result);
    bool marked = false;
    for (const QString &entry : highScores.mid(0, MaxEntries)) {
        if (!marked && entry == resultText) {
            text += QStringLiteral("--- ") + entry + QStringLiteral(" --- \n");
            marked = true;
        } else {
            text += entry + u'\n';
        }
    }
    return text;
}
