// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"
#include "gamesounds.h"
#include "translation.h"

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
    window.show();
    window.showFullScreen();
    // Decoding the icon loads every image plugin; keep that off the first frame.
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png"))); });
    return app.exec();
}
