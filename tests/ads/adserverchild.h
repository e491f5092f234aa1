// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QUrl>

// The development ad server as a child process of a test, with the fault
// mode it is given and its request log (one "GET /path?query "agent"" line
// per request). The path to the binary comes from the build.
class AdServerChild
{
public:
    ~AdServerChild() { stop(); }

    bool start(const QStringList &args = {})
    {
        stop();
        output.clear();
        process.start(QStringLiteral(TUMBLOX_ADSERVER_PATH), QStringList{ QStringLiteral("--port"), QStringLiteral("0") } + args);
        if (!QTest::qWaitFor([this] { return !lines().isEmpty(); }, 5000))
            return false;
        url = QUrl(lines().constFirst().section(u' ', -1));
        return url.scheme() == QLatin1String("http") && url.port() > 0;
    }

    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill();
        process.waitForFinished();
    }

    // The request lines so far, without the greeting.
    QStringList log() { return lines().mid(1); }

    // The path and query of each request, without method and agent.
    QStringList targets()
    {
        QStringList result;
        for (const QString &line : log())
            result.append(line.section(u' ', 1, 1));
        return result;
    }

    QUrl url;

private:
    QStringList lines()
    {
        output += process.readAllStandardOutput();
        QStringList all = QString::fromUtf8(output).split(u'\n');
        all.removeLast(); // the unfinished line
        return all;
    }

    QProcess process;
    QByteArray output;
};
