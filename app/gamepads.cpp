// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamepads.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLibrary>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

#include <SDL.h>

#include <cstdlib>
#include <optional>
#include <type_traits>

// Off unless asked for (QT_LOGGING_RULES="tumblox.gamepads.debug=true"): a
// machine without pads, or one that keeps its input devices from the game,
// hears nothing of them.
Q_LOGGING_CATEGORY(lcGamepads, "tumblox.gamepads", QtWarningMsg)

namespace {

constexpr Uint32 Subsystems = SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK;
// Once a frame while a pad is there; twice a second otherwise, to notice one plugged in.
constexpr int FramePollMs = 16;
constexpr int IdlePollMs = 500;
// A held direction repeats as a held key does.
constexpr int RepeatDelayMs = 200;
constexpr int RepeatIntervalMs = 60;
// The stick presses past half-way and lets go under a quarter, so it does
// not flicker around one point.
constexpr int StickPressAt = 16384;
constexpr int StickReleaseAt = 8192;

int keyForButton(int button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return Qt::Key_Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return Qt::Key_Right;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return Qt::Key_D;
    case SDL_CONTROLLER_BUTTON_A:
        return Qt::Key_Space;
    case SDL_CONTROLLER_BUTTON_B:
    case SDL_CONTROLLER_BUTTON_X:
        return Qt::Key_Up;
    case SDL_CONTROLLER_BUTTON_Y:
        return Qt::Key_H;
    case SDL_CONTROLLER_BUTTON_START:
        return Qt::Key_P;
    case SDL_CONTROLLER_BUTTON_BACK:
        return Qt::Key_F1;
    default:
        return 0;
    }
}

bool isDirection(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_D;
}

// The SDL functions the pads need. SDL is opened on the first poll rather
// than linked: loaded with the program, it and the thirty libraries under it
// held the first frame back by about a tenth.
struct Sdl
{
    decltype(&SDL_SetHint) setHint = nullptr;
    decltype(&SDL_LogSetOutputFunction) logSetOutputFunction = nullptr;
    decltype(&SDL_InitSubSystem) initSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) quitSubSystem = nullptr;
    decltype(&SDL_GetError) getError = nullptr;
    decltype(&SDL_GetTicks64) getTicks64 = nullptr;
    decltype(&SDL_PollEvent) pollEvent = nullptr;
    decltype(&SDL_GameControllerOpen) gameControllerOpen = nullptr;
    decltype(&SDL_GameControllerClose) gameControllerClose = nullptr;
    decltype(&SDL_GameControllerGetJoystick) gameControllerGetJoystick = nullptr;
    decltype(&SDL_JoystickInstanceID) joystickInstanceId = nullptr;
};

// Opened once and kept to the end; null where the library or a function is missing.
const Sdl *sdl()
{
    static const std::optional<Sdl> opened = []() -> std::optional<Sdl> {
        QLibrary library(QStringLiteral("SDL2-2.0"), 0);
        Sdl functions;
        bool complete = true;
        const auto resolve = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            complete = complete && function;
        };
        resolve(functions.setHint, "SDL_SetHint");
        resolve(functions.logSetOutputFunction, "SDL_LogSetOutputFunction");
        resolve(functions.initSubSystem, "SDL_InitSubSystem");
        resolve(functions.quitSubSystem, "SDL_QuitSubSystem");
        resolve(functions.getError, "SDL_GetError");
        resolve(functions.getTicks64, "SDL_GetTicks64");
        resolve(functions.pollEvent, "SDL_PollEvent");
        resolve(functions.gameControllerOpen, "SDL_GameControllerOpen");
        resolve(functions.gameControllerClose, "SDL_GameControllerClose");
        resolve(functions.gameControllerGetJoystick, "SDL_GameControllerGetJoystick");
        resolve(functions.joystickInstanceId, "SDL_JoystickInstanceID");
        if (!complete) {
            qCDebug(lcGamepads, "No game controllers: %s", qPrintable(library.errorString()));
            return std::nullopt;
        }
        return functions;
    }();
    return opened ? &*opened : nullptr;
}

} // namespace

Gamepads::Gamepads(QWidget *target)
    : QObject(target)
    , target(target)
{
    pollTimer = new QTimer(this);
    pollTimer->setObjectName(QStringLiteral("gamepadPoll"));
    connect(pollTimer, &QTimer::timeout, this, &Gamepads::poll);
    target->window()->installEventFilter(this);
    schedulePolls();
}

Gamepads::~Gamepads()
{
    if (!sdlStarted)
        return;
    for (const Pad &pad : std::as_const(pads))
        sdl()->gameControllerClose(pad.controller);
    sdl()->quitSubSystem(Subsystems);
}

void Gamepads::setClock(std::function<qint64()> clock)
{
    this->clock = std::move(clock);
}

qint64 Gamepads::now() const
{
    if (clock)
        return clock();
    static QElapsedTimer monotonic;
    if (!monotonic.isValid())
        monotonic.start();
    return monotonic.elapsed();
}

bool Gamepads::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
        ignorePresses = true;
        heldDirection = 0;
        schedulePolls();
    }
    return QObject::eventFilter(watched, event);
}

void Gamepads::schedulePolls()
{
    if (sdlFailed || !target->window()->isActiveWindow()) {
        pollTimer->stop();
        return;
    }
    const int interval = pads.isEmpty() ? IdlePollMs : FramePollMs;
    if (!pollTimer->isActive() || pollTimer->interval() != interval)
        pollTimer->start(interval);
}

// Started on the first poll, after the window is up, so SDL costs the first
// frame nothing. Without SDL, the input devices or any pads, the game
// carries on quietly.
bool Gamepads::startSdl()
{
    if (sdlStarted || sdlFailed)
        return sdlStarted;
    const Sdl *library = sdl();
    if (!library) {
        sdlFailed = true;
        return false;
    }
    // Qt handles the signals; SDL must not install its own.
    library->setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    library->logSetOutputFunction([](void *, int, SDL_LogPriority, const char *message) {
        qCDebug(lcGamepads, "%s", message);
    }, nullptr);
    sdlStarted = library->initSubSystem(Subsystems) == 0;
    sdlFailed = !sdlStarted;
    if (sdlFailed)
        qCDebug(lcGamepads, "No game controllers: %s", library->getError());
    return sdlStarted;
}

void Gamepads::poll()
{
    if (!startSdl()) {
        schedulePolls();
        return;
    }
    SDL_Event event;
    while (sdl()->pollEvent(&event))
        handle(event);
    ignorePresses = false;
    repeatHeldDirection();
    schedulePolls();
}

void Gamepads::handle(const SDL_Event &event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        addPad(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        removePad(event.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const int key = keyForButton(event.cbutton.button);
        const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        if (isDirection(key))
            pressDirection(key, down);
        else if (key && down && !ignorePresses)
            press(key);
        break;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (const auto pad = pads.find(event.caxis.which); pad != pads.end())
            moveStick(*pad, event.caxis.axis, event.caxis.value);
        break;
    default:
        break;
    }
}

void Gamepads::addPad(int deviceIndex)
{
    SDL_GameController *controller = sdl()->gameControllerOpen(deviceIndex);
    if (!controller)
        return;
    const int id = sdl()->joystickInstanceId(sdl()->gameControllerGetJoystick(controller));
    // SDL counts the opens of one pad; a pad announced twice is opened once.
    if (pads.contains(id)) {
        sdl()->gameControllerClose(controller);
        return;
    }
    pads.insert(id, Pad{ controller });
}

void Gamepads::removePad(int instanceId)
{
    const auto pad = pads.find(instanceId);
    if (pad == pads.end())
        return;
    sdl()->gameControllerClose(pad->controller);
    pads.erase(pad);
    heldDirection = 0;
    emit padRemoved();
}

// The stick's x axis moves left and right; pushed down it moves one row down.
// Pushing it up does nothing.
void Gamepads::moveStick(Pad &pad, int axis, int value)
{
    if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY)
        return;
    int &pointing = axis == SDL_CONTROLLER_AXIS_LEFTX ? pad.stickX : pad.stickY;
    int now = pointing;
    if (std::abs(value) >= StickPressAt)
        now = value < 0 ? -1 : 1;
    else if (std::abs(value) < StickReleaseAt)
        now = 0;
    if (now == pointing)
        return;
    const int before = pointing;
    pointing = now;
    const bool horizontal = axis == SDL_CONTROLLER_AXIS_LEFTX;
    const auto keyOf = [horizontal](int direction) {
        if (horizontal)
            return direction < 0 ? int(Qt::Key_Left) : direction > 0 ? int(Qt::Key_Right) : 0;
        return direction > 0 ? int(Qt::Key_D) : 0;
    };
    if (const int released = keyOf(before))
        pressDirection(released, false);
    if (const int pressed = keyOf(now))
        pressDirection(pressed, true);
}

void Gamepads::pressDirection(int key, bool down)
{
    if (!down) {
        if (key == heldDirection)
            heldDirection = 0;
        return;
    }
    if (ignorePresses)
        return;
    press(key);
    heldDirection = key;
    nextRepeatAt = now() + RepeatDelayMs;
}

void Gamepads::repeatHeldDirection()
{
    if (heldDirection && now() >= nextRepeatAt) {
        press(heldDirection, true);
        nextRepeatAt = now() + RepeatIntervalMs;
    }
}

void Gamepads::press(int key, bool repeat)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
    // Stamped as the window system stamps its keys.
    event.setTimestamp(sdl()->getTicks64());
    QCoreApplication::sendEvent(target, &event);
}
