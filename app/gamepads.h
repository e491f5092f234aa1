// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QTimer;
class QWidget;
typedef struct _SDL_GameController SDL_GameController;
union SDL_Event;

// Game controllers, read through SDL, press the game's own keys: the d-pad
// and the left stick Left, Right and D (one row down), A Space (drop), B and
// X Up (the colours), Y H (hold), Start P (pause), Back F1 (the key help).
// Pads are read only while the target's window is the active window, so they
// never press anything in the ad dialog, and not at all while it is inactive.
// A child of the target, the widget that gets the keys.
class Gamepads : public QObject
{
    Q_OBJECT

public:
    explicit Gamepads(QWidget *target);
    ~Gamepads() override;

    // Milliseconds on a monotonic clock, for the repeats of a held direction.
    void setClock(std::function<qint64()> clock);

signals:
    // A pad in use went away.
    void padRemoved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Pad
    {
        SDL_GameController *controller = nullptr;
        // Where the left stick points: -1, 0 or 1 on each axis.
        int stickX = 0;
        int stickY = 0;
    };

    bool startSdl();
    void poll();
    void schedulePolls();
    void handle(const SDL_Event &event);
    void addPad(int deviceIndex);
    void removePad(int instanceId);
    void moveStick(Pad &pad, int axis, int value);
    void pressDirection(int key, bool down);
    void press(int key, bool repeat = false);
    void repeatHeldDirection();
    qint64 now() const;

    QWidget *target = nullptr;
    QTimer *pollTimer = nullptr;
    std::function<qint64()> clock;
    bool sdlStarted = false;
    bool sdlFailed = false;
    QHash<int, Pad> pads;
    // What the pads pressed while the window was inactive is not the game's.
    bool ignorePresses = false;
    int heldDirection = 0;
    qint64 nextRepeatAt = 0;
};
