#include "app/toolbar_icons.h"

#include "editor/icon_paths.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kv {

namespace {

constexpr int kSize = 24;

const QColor kInk(0x33, 0x3a, 0x44);
const QColor kBlue(0x3d, 0x7f, 0xe0);
const QColor kDarkBlue(0x1f, 0x4e, 0x99);
const QColor kGreen(0x3c, 0xb3, 0x44);
const QColor kDarkGreen(0x1b, 0x6e, 0x20);
const QColor kYellow(0xf6, 0xc3, 0x43);
const QColor kBrown(0xa0, 0x6d, 0x10);

QPainterPath Page(QRectF r) {
    const qreal fold = 5;
    return PolygonPath({r.topLeft(), QPointF(r.right() - fold, r.top()),
                        QPointF(r.right(), r.top() + fold), r.bottomRight(), r.bottomLeft()});
}

QPainterPath Bubble(QRectF r) {
    return SpeechBubble(r, 3, QPointF(r.left() + 3, r.bottom() - 1),
                        QPointF(r.left() + 3, r.bottom() + 5),
                        QPointF(r.left() + 9, r.bottom() - 1));
}

void DrawBubble(QPainter& p, QRectF r, const QColor& fill, const QColor& edge) {
    p.setPen(QPen(edge, 1.2));
    p.setBrush(fill);
    p.drawPath(Bubble(r));
}

void DrawPlus(QPainter& p, QPointF c) {
    p.setPen(QPen(kDarkGreen, 1));
    p.setBrush(kGreen);
    p.drawEllipse(c, 5.5, 5.5);
    p.setPen(QPen(Qt::white, 2.2));
    p.drawLine(QPointF(c.x() - 3, c.y()), QPointF(c.x() + 3, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 3), QPointF(c.x(), c.y() + 3));
}

void DrawTextLines(QPainter& p, qreal left, qreal right, qreal top, int count, qreal step) {
    for (int i = 0; i < count; ++i) {
        const qreal y = top + i * step;
        p.drawLine(QPointF(left, y), QPointF(i == count - 1 ? (left + right) / 2 : right, y));
    }
}

void Paint(QPainter& p, ToolIcon icon) {
    switch (icon) {
    case ToolIcon::NewProject: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(Qt::white);
        p.drawPath(Page(QRectF(4.5, 2.5, 14, 19)));
        DrawPlus(p, QPointF(17, 17));
        break;
    }
    case ToolIcon::Open: {
        p.setPen(QPen(kBrown, 1.2));
        p.setBrush(kYellow.darker(115));
        const QPainterPath back =
            PolygonPath({{2.5, 5.5}, {9, 5.5}, {11, 7.5}, {19.5, 7.5}, {19.5, 19.5}, {2.5, 19.5}});
        p.drawPath(back);
        p.setBrush(kYellow);
        const QPainterPath front =
            PolygonPath({{5.5, 11.5}, {22.5, 11.5}, {19.5, 19.5}, {2.5, 19.5}});
        p.drawPath(front);
        break;
    }
    case ToolIcon::Save: {
        p.setPen(QPen(kDarkBlue, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3.5, 10, 6.5));
        p.setBrush(QColor(0xdd, 0xe4, 0xee));
        p.drawRect(QRectF(6.5, 13.5, 11, 7));
        p.setPen(QPen(kDarkBlue, 1.6));
        p.drawLine(QPointF(14.5, 5), QPointF(14.5, 8.5));
        break;
    }
    case ToolIcon::NewDialog: {
        DrawBubble(p, QRectF(2.5, 3.5, 16, 11), kBlue, kDarkBlue);
        DrawPlus(p, QPointF(17.5, 17));
        break;
    }
    case ToolIcon::ConsequenceDialog: {
        // An answer (the dot) leading on to a new dialog (the bubble).
        p.setPen(QPen(QColor(0x9a, 0x5b, 0x00), 1));
        p.setBrush(QColor(0xf5, 0xa6, 0x23));
        p.drawEllipse(QPointF(5, 17), 3.5, 3.5);
        p.setPen(QPen(kDarkGreen, 1.8));
        p.drawLine(QPointF(8.5, 14), QPointF(12.5, 10));
        p.drawLine(QPointF(12.5, 10), QPointF(9.2, 10.2));
        p.drawLine(QPointF(12.5, 10), QPointF(12.3, 13.3));
        DrawBubble(p, QRectF(11.5, 2.5, 10.5, 7), kBlue, kDarkBlue);
        break;
    }
    case ToolIcon::EditText: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(Qt::white);
        p.drawPath(Page(QRectF(3.5, 2.5, 14, 19)));
        p.setPen(QPen(QColor(0x80, 0x88, 0x94), 1.2));
        DrawTextLines(p, 6, 14, 7, 4, 3);
        // A pencil across the page.
        p.save();
        p.translate(16, 15);
        p.rotate(-45);
        p.setPen(QPen(kBrown, 1));
        p.setBrush(kYellow);
        p.drawRect(QRectF(-2, -9, 4, 12));
        p.setBrush(QColor(0xf0, 0xd0, 0xa0));
        const QPainterPath tip = PolygonPath({{-2, 3}, {2, 3}, {0, 7}});
        p.drawPath(tip);
        p.restore();
        break;
    }
    case ToolIcon::DuplicateDialog: {
        DrawBubble(p, QRectF(2.5, 2.5, 13, 9), QColor(0xa8, 0xc6, 0xf0), kDarkBlue);
        DrawBubble(p, QRectF(8.5, 8.5, 13, 9), kBlue, kDarkBlue);
        break;
    }
    case ToolIcon::Compile: {
        // A lightning bolt striking the script.
        const QPainterPath bolt = PolygonPath(
            {{13.5, 1.5}, {5.5, 13.5}, {11, 13.5}, {8.5, 22.5}, {18.5, 9.5}, {12.5, 9.5}});
        p.setPen(QPen(QColor(0xb0, 0x3a, 0x00), 1.2));
        p.setBrush(QColor(0xff, 0x8c, 0x1a));
        p.drawPath(bolt);
        break;
    }
    case ToolIcon::CostCaption: {
        // A gold coin over a caption line: costs written into the answer's text.
        p.setPen(QPen(QColor(0x80, 0x88, 0x94), 1.5));
        p.drawLine(QPointF(2.5, 20.5), QPointF(21.5, 20.5));
        p.setPen(QPen(kBrown, 1.2));
        p.setBrush(kYellow);
        p.drawEllipse(QPointF(12, 10), 8, 8);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 10), 5.5, 5.5);
        p.setPen(QPen(kBrown, 1.6));
        p.drawLine(QPointF(12, 6.5), QPointF(12, 13.5));
        break;
    }
    }
}

} // namespace

QIcon ToolbarIcon(ToolIcon icon) {
    QIcon result;
    for (int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        Paint(p, icon);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace kv
