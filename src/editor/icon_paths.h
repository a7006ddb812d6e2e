#pragma once

#include <QPainterPath>
#include <QRectF>

#include <initializer_list>

namespace kv {

// Shapes shared by the toolbar icons and the outline images, so both speak one visual language.

// A closed outline through the given corners.
inline QPainterPath PolygonPath(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& corner : corners) {
        if (first)
            path.moveTo(corner);
        else
            path.lineTo(corner);
        first = false;
    }
    path.closeSubpath();
    return path;
}

// A speech bubble: a rounded box with a triangular tail at its lower left, the tail's corners
// given as they stand.
inline QPainterPath SpeechBubble(QRectF box, qreal radius, QPointF tailTop, QPointF tailTip,
                                 QPointF tailEnd) {
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    return path.united(PolygonPath({tailTop, tailTip, tailEnd}));
}

} // namespace kv
