// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QByteArray;

// What the ad client takes from one ad server answer (an XML document).
// Kept free of widgets and network code so the parser can be driven alone.
struct AdAnswer
{
    bool ok = false; // at most 16 KiB, well-formed, and without a document type declaration
    bool hasClient = false;
    QString clientId;
    QString text;
    QString url;
    QString image;

    // Larger bodies are refused unparsed; the client stops the transfer there.
    static const qsizetype MaxSize;

    static AdAnswer parse(const QByteArray &body);

    bool operator==(const AdAnswer &other) const;
    bool operator!=(const AdAnswer &other) const { return !(*this == other); }
};
