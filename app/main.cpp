// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"
#include "translation.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The name places the per-user data folder.
    QApplication::setApplicationName(QStringLiteral("tumblox"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    QTranslator translator;
    if (loadTranslation(translator, QLocale()))
        QApplication::installTranslator(&translator);

    BlockDropWindow window;
    window.show();
    window.showFullScreen();
    return app.exec();
}
