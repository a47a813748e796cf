#include "gui/picker_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "core/folder_tree.h"

namespace pelmar::gui {
namespace {

constexpr int kSize = 16;

QPixmap Folder() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(150, 110, 10);
    // The tab, then the body over it.
    QPainterPath tab;
    tab.moveTo(1.5, 4.5);
    tab.lineTo(1.5, 2.5);
    tab.lineTo(6.5, 2.5);
    tab.lineTo(8.0, 4.5);
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(230, 185, 40));
    p.drawPath(tab);
    p.setBrush(QColor(250, 210, 70));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1, 1);
    p.setPen(QPen(QColor(255, 235, 150), 1));
    p.drawLine(QPointF(2.5, 5.5), QPointF(13.5, 5.5));
    return pixmap;
}

// One figure: a round head over rounded shoulders.
void Figure(QPainter& p, qreal x, qreal y, qreal scale, const QColor& colour) {
    p.setBrush(colour);
    p.setPen(QPen(colour.darker(160), 1));
    p.drawEllipse(QRectF(x - 2 * scale, y, 4 * scale, 4 * scale));
    QPainterPath body;
    body.moveTo(x - 3.2 * scale, y + 9.5 * scale);
    body.cubicTo(x - 3.2 * scale, y + 4.5 * scale, x + 3.2 * scale, y + 4.5 * scale, x + 3.2 * scale, y + 9.5 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

QPixmap Group() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The two at the back first, the one in front last.
    Figure(p, 3.6, 3.0, 0.8, QColor(70, 140, 210));
    Figure(p, 12.4, 3.0, 0.8, QColor(90, 170, 90));
    Figure(p, 8.0, 4.5, 1.0, QColor(220, 110, 60));
    return pixmap;
}

QPixmap Picture(int32_t picture) {
    switch (picture) {
        case picture::Folder:
        case picture::OpenFolder: return Folder();
        case picture::Group: return Group();
        default: return {};
    }
}

}  // namespace

QIcon TreePicture(int32_t picture, int32_t selectedPicture) {
    QIcon icon(Picture(picture));
    if (selectedPicture != picture::None) icon.addPixmap(Picture(selectedPicture), QIcon::Selected);
    return icon;
}

}  // namespace pelmar::gui
