#include "editor/outline_images.h"

#include "editor/icon_paths.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace kv {

namespace {

constexpr int kSize = 16;

// A speech bubble: a rounded box with a tail at the lower left.
QPainterPath Bubble() {
    return SpeechBubble(QRectF(1.5, 1.5, 13, 10), 2.5, {3.5, 11}, {3.5, 15}, {8, 11});
}

QPixmap Draw(int image) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (image) {
    case kImageDialogWithVariants: {
        // A filled blue bubble with lines of text: a dialog that has answers.
        p.setPen(QPen(QColor(0x1f, 0x4e, 0x99), 1));
        p.setBrush(QColor(0x3d, 0x7f, 0xe0));
        p.drawPath(Bubble());
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(QPointF(4, 4.5), QPointF(12, 4.5));
        p.drawLine(QPointF(4, 7), QPointF(12, 7));
        p.drawLine(QPointF(4, 9.5), QPointF(9, 9.5));
        break;
    }
    case kImageDialogWithoutVariants: {
        // An empty white bubble: a dialog without answers.
        p.setPen(QPen(QColor(0x55, 0x5f, 0x6d), 1.2));
        p.setBrush(Qt::white);
        p.drawPath(Bubble());
        break;
    }
    case kImageVariantWithFollowUp: {
        // A green arrow: the answer leads on to another function.
        const QPainterPath arrow =
            PolygonPath({{2, 6}, {8, 6}, {8, 2.5}, {14.5, 8}, {8, 13.5}, {8, 10}, {2, 10}});
        p.setPen(QPen(QColor(0x1b, 0x6e, 0x20), 1));
        p.setBrush(QColor(0x3c, 0xb3, 0x44));
        p.drawPath(arrow);
        break;
    }
    case kImageVariantWithoutFollowUp: {
        // A small orange dot: an answer that ends the conversation.
        p.setPen(QPen(QColor(0x9a, 0x5b, 0x00), 1));
        p.setBrush(QColor(0xf5, 0xa6, 0x23));
        p.drawEllipse(QPointF(8, 8), 4, 4);
        break;
    }
    default:
        break;
    }
    return pixmap;
}

const std::array<QPixmap, kOutlineImageCount>& Pixmaps() {
    static const std::array<QPixmap, kOutlineImageCount> pixmaps = {Draw(0), Draw(1), Draw(2),
                                                                    Draw(3)};
    return pixmaps;
}

bool InRange(int image) {
    return image >= 0 && image < kOutlineImageCount;
}

} // namespace

QIcon OutlineImageIcon(int image) {
    if (!InRange(image)) return QIcon();
    return QIcon(Pixmaps()[static_cast<std::size_t>(image)]);
}

QIcon OutlineNodeIcon(int image, int selectedImage) {
    // One icon for each pair, shared by every node that shows it: an outline of 100,000 dialogs
    // has half a million nodes, and an icon of their own cost each of them an engine and two
    // pixmap entries.
    static std::array<std::array<QIcon, kOutlineImageCount + 1>, kOutlineImageCount + 1> icons;
    auto slot = [](int i) { return InRange(i) ? static_cast<std::size_t>(i) + 1 : 0; };
    QIcon& icon = icons[slot(image)][slot(selectedImage)];
    if (icon.isNull() && (InRange(image) || InRange(selectedImage))) {
        if (InRange(image))
            icon.addPixmap(Pixmaps()[static_cast<std::size_t>(image)], QIcon::Normal);
        if (InRange(selectedImage))
            icon.addPixmap(Pixmaps()[static_cast<std::size_t>(selectedImage)], QIcon::Selected);
    }
    return icon;
}

} // namespace kv
