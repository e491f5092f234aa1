// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "networkerrorscreen.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QVBoxLayout>

NetworkErrorScreen::NetworkErrorScreen()
    : QWidget(nullptr, Qt::WindowFlags())
{
    auto *button = new QPushButton(QStringLiteral("Network connection needed"));
    button->setMinimumHeight(180);
    button->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout;
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, qApp, &QCoreApplication::quit);
    setLayout(layout);
}

// Quitting closes every window, this one too; asking again then does no harm.
void NetworkErrorScreen::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::quit();
}
