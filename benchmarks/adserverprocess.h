// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>

// The development ad server, started beside this executable on a free
// loopback port for as long as the object lives.
class AdServerProcess
{
public:
    AdServerProcess();
    ~AdServerProcess();

    // Its base URL, or an empty string when it did not start.
    QString url() const { return baseUrl; }

private:
    QProcess process;
    QString baseUrl;
};
