// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyhelpoverlay.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <iterator>

namespace {

struct HelpRow
{
    const char *keys;
    const char *action;
};

struct HelpSection
{
    const char *heading;
    const HelpRow *rows;
    int count;
};

constexpr HelpRow KeyRows[] = {
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Left, Right"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Move the bar") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Up"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Cycle the colours") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "D"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "One row down") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Space, keypad Enter"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Drop the bar") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "H"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Hold the bar") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "P, Esc"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Pause or resume") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "1, 2, 3"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "New score, line or timer game") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "M"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Sound off or on") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "F1"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "This help") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "F11"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Full screen or window") },
};

constexpr HelpRow PadRows[] = {
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "D-pad, left stick"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Move; down: one row down") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "A"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Drop the bar") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "B, X"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Cycle the colours") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Y"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Hold the bar") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Start"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "Pause or resume") },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Back"), QT_TRANSLATE_NOOP("KeyHelpOverlay", "This help") },
};

const HelpSection Sections[] = {
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Keys"), KeyRows, int(std::size(KeyRows)) },
    { QT_TRANSLATE_NOOP("KeyHelpOverlay", "Gamepad"), PadRows, int(std::size(PadRows)) },
};

constexpr int Margin = 8;
constexpr qreal SmallestPointSize = 5;
constexpr qreal LinesAtLargest = 24;

qreal pointSizeOf(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
}

QString translated(const char *text)
{
    return QCoreApplication::translate("KeyHelpOverlay", text);
}

// One list at a font: its keys' column, its actions' column and its lines.
struct SectionSize
{
    int keysWidth = 0;
    int actionWidth = 0;
    int headingWidth = 0;
    int lines = 0;

    int width() const { return std::max(keysWidth + actionWidth, headingWidth); }
};

SectionSize measure(const HelpSection &section, const QFontMetrics &metrics)
{
    SectionSize size;
    for (int i = 0; i < section.count; ++i) {
        size.keysWidth = std::max(size.keysWidth, metrics.horizontalAdvance(translated(section.rows[i].keys)));
        size.actionWidth = std::max(size.actionWidth, metrics.horizontalAdvance(translated(section.rows[i].action)));
    }
    size.keysWidth += metrics.averageCharWidth() * 2;
    size.headingWidth = metrics.horizontalAdvance(translated(section.heading));
    size.lines = section.count + 1;
    return size;
}

// Where the lists go: side by side where the area is wide enough, else one
// above the other, at the largest font that fits, from a size at which some
// two dozen lines fill the area down.
struct HelpLayout
{
    QFont font;
    SectionSize sections[2];
    bool sideBySide = true;
    int columnGap = 0;
    int lineHeight = 0;
    QSize size;
};

HelpLayout layOut(QFont font, const QSize &area, const QString &footer)
{
    const qreal lines = qreal(area.height()) / QFontMetricsF(font).lineSpacing();
    if (lines > LinesAtLargest)
        font.setPointSizeF(pointSizeOf(font) * lines / LinesAtLargest);
    HelpLayout layout;
    for (;;) {
        const QFontMetrics metrics(font);
        layout.font = font;
        SectionSize &a = layout.sections[0];
        SectionSize &b = layout.sections[1];
        a = measure(Sections[0], metrics);
        b = measure(Sections[1], metrics);
        // One keys' column for both, so the lists line up when stacked.
        a.keysWidth = b.keysWidth = std::max(a.keysWidth, b.keysWidth);
        layout.lineHeight = metrics.lineSpacing();
        const int footerWidth = metrics.horizontalAdvance(footer);
        // A blank line before the footer, and one between the lists when stacked.
        layout.columnGap = metrics.averageCharWidth() * 4;
        const QSize wide(std::max(a.width() + layout.columnGap + b.width(), footerWidth),
                         (std::max(a.lines, b.lines) + 2) * layout.lineHeight);
        const QSize tall(std::max({ a.width(), b.width(), footerWidth }), (a.lines + b.lines + 3) * layout.lineHeight);
        layout.sideBySide = wide.width() <= area.width() && wide.height() <= area.height();
        layout.size = layout.sideBySide ? wide : tall;
        const qreal pointSize = pointSizeOf(font);
        if (layout.sideBySide || (tall.width() <= area.width() && tall.height() <= area.height())
            || pointSize <= SmallestPointSize)
            return layout;
        font.setPointSizeF(std::max(SmallestPointSize, pointSize * 0.9));
    }
}

void drawSection(QPainter &painter, const HelpLayout &layout, int s, QPoint at)
{
    const HelpSection &section = Sections[s];
    const SectionSize &size = layout.sections[s];
    const int h = layout.lineHeight;
    QFont bold = layout.font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(at.x(), at.y(), size.width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                     translated(section.heading));
    painter.setFont(layout.font);
    for (int i = 0; i < section.count; ++i) {
        const int y = at.y() + (i + 1) * h;
        painter.drawText(QRect(at.x(), y, size.keysWidth, h), Qt::AlignLeft | Qt::AlignVCenter,
                         translated(section.rows[i].keys));
        painter.drawText(QRect(at.x() + size.keysWidth, y, size.actionWidth, h),
                         Qt::AlignLeft | Qt::AlignVCenter, translated(section.rows[i].action));
    }
}

} // namespace

KeyHelpOverlay::KeyHelpOverlay(QWidget *board)
    : QWidget(board)
{
    hide();
    board->installEventFilter(this);
}

void KeyHelpOverlay::open()
{
    fitToBoard();
    qApp->installEventFilter(this);
    show();
}

void KeyHelpOverlay::dismiss()
{
    qApp->removeEventFilter(this);
    hide();
    emit closed();
}

// Inside the board's frame.
void KeyHelpOverlay::fitToBoard()
{
    const auto *frame = qobject_cast<QFrame *>(parentWidget());
    setGeometry(frame ? frame->contentsRect() : parentWidget()->rect());
}

bool KeyHelpOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitToBoard();
    if (isHidden())
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // A mnemonic such as Alt+N must not press its button past the help.
        event->accept();
        return true;
    case QEvent::KeyPress:
        // A held F1 repeats; only a fresh press closes the help.
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            dismiss();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        dismiss();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void KeyHelpOverlay::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::WindowText));

    const QString footer = tr("Any key or click closes this help.");
    const QRect area = rect().adjusted(Margin, Margin, -Margin, -Margin);
    const HelpLayout layout = layOut(font(), area.size(), footer);
    const int h = layout.lineHeight;
    // Centred as a block.
    const QPoint topLeft(area.left() + std::max(0, (area.width() - layout.size.width()) / 2),
                         area.top() + std::max(0, (area.height() - layout.size.height()) / 2));
    const SectionSize &first = layout.sections[0];
    if (layout.sideBySide) {
        const int listsWidth = first.width() + layout.columnGap + layout.sections[1].width();
        const int left = area.left() + std::max(0, (area.width() - listsWidth) / 2);
        drawSection(painter, layout, 0, QPoint(left, topLeft.y()));
        drawSection(painter, layout, 1, QPoint(left + first.width() + layout.columnGap, topLeft.y()));
    } else {
        drawSection(painter, layout, 0, topLeft);
        drawSection(painter, layout, 1, topLeft + QPoint(0, (first.lines + 1) * h));
    }
    painter.drawText(QRect(area.left(), topLeft.y() + layout.size.height() - h, area.width(), h), Qt::AlignCenter,
                     footer);
}
