// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"
#include "gamesounds.h"
#include "terminationsignals.h"
#include "translation.h"
#include "windowstatekeeper.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The name places the per-user data folder.
    QApplication::setApplicationName(QStringLiteral("tumblox"));
    QTranslator translator;
    if (loadTranslation(translator, QLocale()))
        QApplication::installTranslator(&translator);

    BlockDropWindow window;
    // Reads the mute now, so that its note is in the first frame; the sound itself comes later.
    window.setCues(new GameSounds(&window));
    // Asked to end, the program leaves its event loop, and the board saves its game on the way out.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, &QCoreApplication::quit);
    // Full screen on the handheld, a window on the desktop, or as the player left it.
    auto *keeper = new WindowStateKeeper(&window);
    keeper->showWindow();
    // Decoding the icon loads every image plugin; keep that off the first frame.
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png"))); });
    return app.exec();
}
