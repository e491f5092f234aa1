// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harnesses.h"

#include "adanswer.h"
#include "filebytes.h"
#include "highscoretable.h"
#include "inneractiveadmodule.h"
#include "inneractiveadmoduletestaccess.h"
#include "savedgame.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>

// Ends the harness with the invariant that broke.
#define CHECK(holds, what) \
    do { \
        if (!(holds)) \
            return std::fprintf(stderr, "Invariant violated: %s\n", what), 1; \
    } while (false)

namespace {

const QString AppId = QStringLiteral("TumbloxFuzz");
const QString HeldClientId = QStringLiteral("held-id");
const QString Unset = QStringLiteral("unset");
// deviceDescription reads paths relative to the working directory.
const QString Versions = QStringLiteral("z:/resource/versions/");

// Created once and reused: a fresh folder per run would cost more than the run.
QString scratch(const QString &name)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tumblox-fuzz-XXXXXX"));
    return dir.filePath(name);
}

QString storedClientId()
{
    return QSettings(QStringLiteral("InnerActive"), AppId).value(QStringLiteral("cid")).toString();
}

} // namespace

void prepareFuzzing(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch(QStringLiteral("config")));
    // Lives as long as the process: the fuzzer never returns to main.
    static int appArgc = *argc;
    if (!QCoreApplication::instance())
        new QCoreApplication(appArgc, *argv);
    if (!QDir().mkpath(scratch(QStringLiteral("cwd/")) + Versions) || !QDir().mkpath(scratch(QStringLiteral("scores"))))
        qFatal("No scratch folder in %s", qPrintable(QDir::tempPath()));
}

int runAdAnswer(const uint8_t *data, size_t size)
{
    using Access = InnerActiveAdModuleTestAccess;
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const AdAnswer answer = AdAnswer::parse(body);
    // Larger answers would let Qt's DOM hold the GUI thread for seconds.
    CHECK(!answer.ok || body.size() <= 16 * 1024, "oversized answer accepted");

    // Saving costs a file write; only the previous run can have changed it.
    if (storedClientId() != HeldClientId)
        QSettings(QStringLiteral("InnerActive"), AppId).setValue(QStringLiteral("cid"), HeldClientId);
    InnerActiveAdModule module(nullptr, AppId, 0);
    Access::adText(module) = Access::adLinkText(module) = Access::adImageUrl(module) = Unset;
    const QUrl image = Access::takeAnswer(module, body);
    CHECK(Access::adText(module) == (answer.ok ? answer.text : Unset) && Access::adLinkText(module) == (answer.ok ? answer.url : Unset)
              && Access::adImageUrl(module) == (answer.ok ? answer.image : Unset),
          "the ad held is not the answer's");
    // Ids beyond 256 characters are not taken.
    const bool takesId = answer.ok && answer.hasClient && answer.clientId.size() <= 256;
    CHECK(Access::clientId(module) == (takesId ? answer.clientId : HeldClientId), "client id not taken as the answer says");
    CHECK(storedClientId() == Access::clientId(module), "stored client id differs from the held one");

    // Only a web address may be asked for the image.
    const QUrl named(answer.image);
    const bool fetchable = answer.ok && named.isValid() && (named.scheme() == "http" || named.scheme() == "https") && !named.host().isEmpty();
    CHECK(image == (fetchable ? named : QUrl()), "image address given against the answer");
    return 0;
}

int runHighScores(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const int result = qFromLittleEndian<qint32>(data);
    const QByteArray file(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));
    const HighScoreTable table(scratch(QStringLiteral("scores")));
    const QString path = table.filePath(QStringLiteral("score"));
    CHECK(writeFile(path, file), "cannot write the high-score file");
    const QStringList merged = table.record(QStringLiteral("score"), result);

    // What a UTF-8 reader sees: one entry per line, the line end being "\n"
    // with any "\r" before it, and no entry after a final line end.
    QStringList stored = QString::fromUtf8(file).split(u'\n');
    if (stored.constLast().isEmpty())
        stored.removeLast();
    for (QString &line : stored)
        line.remove(QRegularExpression("\r+$"));
    qsizetype at = 0;
    while (at < stored.size() && stored.at(at).toInt() >= result)
        ++at;
    stored.insert(at, QString::number(result));
    CHECK(merged == stored, "stored entries not kept in order, or the result not placed by the rule");

    CHECK(readFile(path) == merged.mid(0, HighScoreTable::MaxEntries).join(u'\n').toUtf8() + '\n', "file does not hold the first 10 merged entries");
    return 0;
}

int runDeviceDescription(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype marker = rest.indexOf("\xFF\xFE\xFD");
    const QByteArray product = marker < 0 ? rest : rest.left(marker);
    const QByteArray model = marker < 0 ? QByteArray() : rest.mid(marker + 3);
    const QString versions = scratch(QStringLiteral("cwd/")) + Versions;
    QFile::remove(versions + "product.txt");
    QFile::remove(versions + "model.txt");
    CHECK(!(data[0] & 1) || writeFile(versions + "product.txt", product), "cannot write the product file");
    CHECK(!(data[0] & 2) || writeFile(versions + "model.txt", model), "cannot write the model file");

    static const InnerActiveAdModule *const module = new InnerActiveAdModule(nullptr, AppId, 0);
    // Only for the call: libFuzzer and the test resolve their paths from it.
    const QString previous = QDir::currentPath();
    CHECK(QDir::setCurrent(scratch(QStringLiteral("cwd"))), "cannot enter the working directory");
    const QString description = module->deviceDescription();
    QDir::setCurrent(previous);

    CHECK((data[0] & 3) != 0 || description.isNull(), "a description without version files");
    // Maker and model each end before a line end.
    CHECK(!(data[0] & 1) || !description.contains(u'\n'), "a line end in the description");
    CHECK(description.size() <= ((data[0] & 1) ? product : model).size(), "description longer than its file");
    return 0;
}

int runSavedGame(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString why;
    const std::optional<SavedGame> game = SavedGame::fromJson(bytes, &why);
    CHECK(game.has_value() == why.isEmpty(), "a refusal without a reason");
    if (game) {
        const QByteArray written = game->toJson();
        CHECK(written.size() <= SavedGame::MaxSize, "a game written larger than it may be read");
        const std::optional<SavedGame> again = SavedGame::fromJson(written, nullptr);
        CHECK(again && again->toJson() == written, "a game that does not read back as it was written");
        // The board moves the falling piece only where it fits.
        CHECK(game->isWaitingAfterClear || game->grid.fits(game->curPiece, game->curX, game->curY), "a falling piece that does not fit");
    }

    return 0;
}
