// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harnesses.h"

#include "adanswer.h"
#include "highscoretable.h"
#include "inneractiveadmodule.h"
#include "inneractiveadmoduletestaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <cstring>

namespace {

const QString AppId = QStringLiteral("TumbloxFuzz");
const QString HeldClientId = QStringLiteral("held-id");
const QString Unset = QStringLiteral("unset");
// The module's bound on a stored client id.
const int MaxClientIdLength = 256;
// Ad answers are a few hundred bytes. Qt's DOM takes time quadratic in the
// nesting depth and in the attributes per element, so a 256 KiB answer can
// hold the GUI thread for half a minute; a bound on the size keeps that
// within milliseconds.
const qsizetype MaxAnswerBytes = 16 * 1024;

// Thrown only from harness code, never through Qt's frames.
struct Violation
{
    const char *what;
};

[[noreturn]] void violated(const char *what)
{
    throw Violation{what};
}

template<typename Run>
int guarded(Run run)
{
    try {
        run();
        return 0;
    } catch (const Violation &violation) {
        std::fprintf(stderr, "Invariant violated: %s\n", violation.what);
        std::fflush(stderr);
        return 1;
    }
}

void check(bool holds, const char *what)
{
    if (!holds)
        violated(what);
}

// Created once and reused: a fresh folder per run would cost more than the run.
const QString &scratchDirectory()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tumblox-fuzz-XXXXXX"));
    if (!dir.isValid())
        qFatal("No temporary folder in %s", qPrintable(QDir::tempPath()));
    static const QString path = dir.path();
    return path;
}

// deviceDescription reads paths relative to the working directory.
QString workingDirectory()
{
    return scratchDirectory() + QStringLiteral("/cwd");
}

QString versionsDirectory()
{
    return workingDirectory() + QStringLiteral("/z:/resource/versions/");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isWebScheme(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// Where the module keeps the client id.
QString storedClientId()
{
    return QSettings(QStringLiteral("InnerActive"), AppId).value(QStringLiteral("cid")).toString();
}

void storeClientId(const QString &id)
{
    QSettings(QStringLiteral("InnerActive"), AppId).setValue(QStringLiteral("cid"), id);
}

} // namespace

void prepareFuzzing(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    // The client id is written on most runs: keep it in the scratch folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       scratchDirectory() + QStringLiteral("/config"));
    if (!QCoreApplication::instance()) {
        static int appArgc = *argc;
        // Lives as long as the process: the fuzzer never returns to main.
        new QCoreApplication(appArgc, *argv);
    }
    if (!QDir().mkpath(versionsDirectory()))
        qFatal("Cannot create %s", qPrintable(versionsDirectory()));
}

namespace {

void adAnswer(const uint8_t *data, size_t size)
{
    using Access = InnerActiveAdModuleTestAccess;
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const AdAnswer answer = AdAnswer::parse(body);
    check(!answer.ok || body.size() <= MaxAnswerBytes, "oversized answer accepted");

    // Saving costs a file write; only the previous run can have changed it.
    if (storedClientId() != HeldClientId)
        storeClientId(HeldClientId);
    InnerActiveAdModule module(nullptr, AppId, 0);
    Access::adText(module) = Access::adLinkText(module) = Access::adImageUrl(module) = Unset;
    const QUrl image = Access::takeAnswer(module, body);

    if (answer.ok) {
        check(Access::adText(module) == answer.text, "ad text is not the answer's");
        check(Access::adLinkText(module) == answer.url, "ad link is not the answer's");
        check(Access::adImageUrl(module) == answer.image, "image address is not the answer's");
    } else {
        check(Access::adText(module) == Unset && Access::adLinkText(module) == Unset
                  && Access::adImageUrl(module) == Unset,
              "a rejected answer changed the record");
    }
    const bool takesId = answer.ok && answer.hasClient
        && answer.clientId.size() <= MaxClientIdLength;
    const QString expectedId = takesId ? answer.clientId : HeldClientId;
    check(Access::clientId(module) == expectedId, "client id not taken as the answer says");
    check(storedClientId() == expectedId, "stored client id differs from the held one");

    // Only a web address may be asked for the image.
    const QUrl named(answer.image);
    const bool fetchable = answer.ok && named.isValid() && isWebScheme(named)
        && !named.host().isEmpty();
    check(image.isEmpty() != fetchable, "image address given against the answer");
    check(image.isEmpty() || image == named, "image address is not the one the answer names");
}

void highScores(const uint8_t *data, size_t size)
{
    if (size < 4)
        return;
    qint32 result;
    std::memcpy(&result, data, sizeof result);
    result = qFromLittleEndian(result);
    const QByteArray file(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));

    const HighScoreTable table(scratchDirectory());
    const QString mode = QStringLiteral("score");
    const QString path = table.filePath(mode);
    if (!writeFile(path, file))
        violated("cannot write the high-score file");

    const QStringList merged = table.record(mode, result);
    const QByteArray written = readFile(path);

    // What a UTF-8 reader sees: one entry per line, the line end being "\n"
    // with any "\r" before it, and no entry after a final line end.
    QStringList stored = QString::fromUtf8(file).split(u'\n');
    if (stored.constLast().isEmpty())
        stored.removeLast();
    for (QString &line : stored) {
        while (line.endsWith(u'\r'))
            line.chop(1);
    }

    check(merged.size() == stored.size() + 1, "merge lost or added entries");
    qsizetype at = 0;
    while (at < stored.size() && stored.at(at).toInt() >= result)
        ++at;
    check(merged.at(at) == QString::number(result), "result not placed by the insertion rule");
    QStringList kept = merged;
    kept.removeAt(at);
    check(kept == stored, "stored entries not kept as read and in order");

    check(written.count('\n') <= HighScoreTable::MaxEntries, "more than 10 lines written");
    QByteArray expected;
    for (const QString &entry : merged.mid(0, HighScoreTable::MaxEntries))
        expected += entry.toUtf8() + '\n';
    check(written == expected, "file does not hold the first 10 merged entries");
}

void deviceDescription(const uint8_t *data, size_t size)
{
    if (size < 1)
        return;
    const bool hasProduct = data[0] & 1;
    const bool hasModel = data[0] & 2;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype marker = rest.indexOf("\xFF\xFE\xFD");
    const QByteArray product = marker < 0 ? rest : rest.left(marker);
    const QByteArray model = marker < 0 ? QByteArray() : rest.mid(marker + 3);

    const QString versions = versionsDirectory();
    auto place = [&versions](const char *name, bool present, const QByteArray &bytes) {
        const QString path = versions + QLatin1String(name);
        if (present ? !writeFile(path, bytes) : (QFile::exists(path) && !QFile::remove(path)))
            violated("cannot prepare the version files");
    };
    place("product.txt", hasProduct, product);
    place("model.txt", hasModel, model);

    static const InnerActiveAdModule *const module = new InnerActiveAdModule(nullptr, AppId, 0);
    // Only for the call: libFuzzer and the test resolve their paths from it.
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(workingDirectory()))
        violated("cannot enter the working directory");
    const QString description = module->deviceDescription();
    QDir::setCurrent(previous);

    if (!hasProduct && !hasModel)
        check(description.isNull(), "a description without version files");
    if (hasProduct) {
        // Maker and model each end before a line end.
        check(!description.contains(u'\n'), "a line end in the description");
        check(description.size() <= product.size(), "description longer than the product file");
    } else if (hasModel) {
        check(description.size() <= model.size(), "description longer than the model file");
    }
}

} // namespace

int runAdAnswer(const uint8_t *data, size_t size)
{
    return guarded([=] { adAnswer(data, size); });
}

int runHighScores(const uint8_t *data, size_t size)
{
    return guarded([=] { highScores(data, size); });
}

int runDeviceDescription(const uint8_t *data, size_t size)
{
    return guarded([=] { deviceDescription(data, size); });
}
