// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BlockDropWindow window;
    window.show();
    window.showFullScreen();
    return app.exec();
}
