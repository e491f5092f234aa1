// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QUrl;

// Ad links come from a remote server, so only web pages may be handed to the
// desktop; anything else (file:, javascript:, custom schemes) could start a
// local handler.
bool isWebUrl(const QUrl &url);
