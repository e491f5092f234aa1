// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedgame.h"

#include "blockdroprules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

using namespace BlockDropRules;

namespace {

constexpr int Colors = 7;
constexpr qint64 IntMax = std::numeric_limits<int>::max();

QJsonObject pieceToJson(const BlockDropPiece &piece)
{
    return QJsonObject{ { QLatin1String("shape"), piece.shape() },
                        { QLatin1String("colors"), QJsonArray{ piece.color(0), piece.color(1), piece.color(2) } } };
}

// Reads the values one by one and keeps the first thing that is wrong, so
// the caller checks once at the end.
struct Reader
{
    QString failure;

    void fail(const QString &why)
    {
        if (failure.isEmpty())
            failure = why;
    }

    // JSON numbers are doubles: 1.5 or 2^31 must not turn into some other int.
    qint64 number(const QJsonValue &value, const QString &what, qint64 min, qint64 max)
    {
        const double d = value.toDouble(std::nan(""));
        if (!value.isDouble() || !(d >= double(min) && d <= double(max)) || d != std::floor(d)) {
            fail(QStringLiteral("%1 is not a whole number from %2 to %3").arg(what).arg(min).arg(max));
            return min;
        }
        return qint64(d);
    }

    int number(const QJsonObject &object, const char *key, qint64 min, qint64 max)
    {
        return int(number(object.value(QLatin1String(key)), QLatin1String(key), min, max));
    }

    // An empty piece has shape 0 and no colours; a real one has all of them.
    BlockDropPiece piece(const QJsonObject &object, const char *key)
    {
        const QString what = QLatin1String(key);
        const QJsonObject piece = object.value(what).toObject();
        const QJsonArray colors = piece.value(QLatin1String("colors")).toArray();
        const int shape = int(number(piece.value(QLatin1String("shape")), what + QLatin1String(" shape"), 0, Colors));
        if (colors.size() != 3) {
            fail(what + QLatin1String(" has not three colours"));
            return {};
        }
        int color[3];
        for (int i = 0; i < 3; ++i)
            color[i] = int(number(colors.at(i), what + QLatin1String(" colour"), shape == 0 ? 0 : 1, shape == 0 ? 0 : Colors));
        return shape == 0 ? BlockDropPiece() : BlockDropPiece::withColors(color[0], color[1], color[2], shape);
    }

    BlockDropGrid grid(const QJsonValue &value)
    {
        BlockDropGrid grid;
        const QJsonArray rows = value.toArray();
        if (rows.size() != BlockDropGrid::BoardHeight) {
            fail(QStringLiteral("the grid has not %1 rows").arg(BlockDropGrid::BoardHeight));
            return grid;
        }
        for (int y = 0; y < BlockDropGrid::BoardHeight; ++y) {
            const QString row = rows.at(BlockDropGrid::BoardHeight - 1 - y).toString();
            if (row.size() != BlockDropGrid::BoardWidth) {
                fail(QStringLiteral("grid row %1 has not %2 cells").arg(y).arg(BlockDropGrid::BoardWidth));
                continue;
            }
            for (int x = 0; x < BlockDropGrid::BoardWidth; ++x) {
                const int color = row.at(x).unicode() - u'0';
                if (color < 0 || color > Colors)
                    fail(QStringLiteral("grid row %1 has a cell that is no colour from 0 to %2").arg(y).arg(Colors));
                else
                    grid.setCell(x, y, color);
            }
        }
        return grid;
    }
};

bool isMode(const QString &mode)
{
    return mode == QLatin1String("score") || mode == QLatin1String("lines") || mode == QLatin1String("timer");
}

// What the board's rules leave true of every game in progress.
QString breakingRule(const SavedGame &game)
{
    if (!game.nextPiece.isReal())
        return QStringLiteral("no next piece");
    if (game.level != 1 + game.numPiecesDropped / PiecesPerLevel)
        return QStringLiteral("the level does not follow from the pieces dropped");
    if (game.timeLeft < (game.mode == QLatin1String("timer") ? 1 : 0))
        return QStringLiteral("no time left");
    if (game.isWaitingAfterClear) {
        // Between a clearing and the next piece the board holds an empty piece at the spawn.
        if (game.curPiece.isReal() || game.curX != SpawnX || game.curY != SpawnY)
            return QStringLiteral("a falling piece while waiting after a clearing");
        return {};
    }
    if (!game.curPiece.isReal())
        return QStringLiteral("no falling piece");
    if (game.curY > SpawnY || !game.grid.fits(game.curPiece, game.curX, game.curY))
        return QStringLiteral("the falling piece is off the grid or on a block");
    return {};
}

} // namespace

QByteArray SavedGame::toJson() const
{
    QJsonArray rows;
    for (int y = BlockDropGrid::BoardHeight - 1; y >= 0; --y) {
        QString row;
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            row += QChar(u'0' + grid.cellAt(x, y));
        rows.append(row);
    }
    QJsonObject falling = pieceToJson(curPiece);
    falling.insert(QLatin1String("x"), curX);
    falling.insert(QLatin1String("y"), curY);
    const QJsonObject root{
        { QLatin1String("version"), Version },
        { QLatin1String("mode"), mode },
        { QLatin1String("grid"), rows },
        { QLatin1String("curPiece"), falling },
        { QLatin1String("nextPiece"), pieceToJson(nextPiece) },
        { QLatin1String("holdPiece"), pieceToJson(holdPiece) },
        { QLatin1String("score"), score },
        { QLatin1String("level"), level },
        { QLatin1String("blocksRemoved"), numLinesRemoved },
        { QLatin1String("piecesDropped"), numPiecesDropped },
        { QLatin1String("timeLeft"), timeLeft },
        { QLatin1String("waitingAfterClear"), isWaitingAfterClear },
        { QLatin1String("randomState"), qint64(randomState) },
    };
    return QJsonDocument(root).toJson();
}

std::optional<SavedGame> SavedGame::fromJson(const QByteArray &json, QString *error)
{
    const auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (json.size() > MaxSize)
        return refuse(QStringLiteral("larger than %1 bytes").arg(MaxSize));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("not JSON: %1 at byte %2").arg(parseError.errorString()).arg(parseError.offset));
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("version")) != QJsonValue(Version))
        return refuse(QStringLiteral("not a saved game of version %1").arg(Version));

    Reader read;
    SavedGame game;
    game.mode = root.value(QLatin1String("mode")).toString();
    if (!isMode(game.mode))
        read.fail(QStringLiteral("no game mode"));
    game.grid = read.grid(root.value(QLatin1String("grid")));
    game.curPiece = read.piece(root, "curPiece");
    const QJsonObject falling = root.value(QLatin1String("curPiece")).toObject();
    game.curX = read.number(falling, "x", 0, BlockDropGrid::BoardWidth - 1);
    game.curY = read.number(falling, "y", 0, SpawnY);
    game.nextPiece = read.piece(root, "nextPiece");
    game.holdPiece = read.piece(root, "holdPiece");
    game.score = read.number(root, "score", 0, IntMax);
    game.level = read.number(root, "level", 1, IntMax);
    game.numLinesRemoved = read.number(root, "blocksRemoved", 0, IntMax);
    // One below the limit, so the next piece can still be counted.
    game.numPiecesDropped = read.number(root, "piecesDropped", 0, IntMax - 1);
    game.timeLeft = read.number(root, "timeLeft", 0, TimerModeSeconds);
    const QJsonValue waiting = root.value(QLatin1String("waitingAfterClear"));
    if (!waiting.isBool())
        read.fail(QStringLiteral("waitingAfterClear is not true or false"));
    game.isWaitingAfterClear = waiting.toBool();
    game.randomState = unsigned(read.number(root.value(QLatin1String("randomState")), QStringLiteral("randomState"), 0,
                                            std::numeric_limits<unsigned int>::max()));
    if (read.failure.isEmpty())
        read.fail(breakingRule(game));
    if (!read.failure.isEmpty())
        return refuse(read.failure);
    return game;
}
