// The ball and the window icon.
#include "QtPictures.h"

#include <QPainter>
#include <QRadialGradient>

namespace qtface {

namespace {

// The same look as the icon: a red ball lit from the upper left, on a transparent ground.
QPixmap drawnBall() {
    constexpr int kSize = 16;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(QPointF(5.5, 5.0), 9.0, QPointF(5.0, 4.5));
    light.setColorAt(0.0, QColor(255, 214, 214));
    light.setColorAt(0.35, QColor(230, 30, 30));
    light.setColorAt(1.0, QColor(120, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawEllipse(QRectF(1.0, 1.0, kSize - 2.0, kSize - 2.0));
    return pixmap;
}

} // namespace

QPixmap ballPicture() {
    QPixmap pixmap(QStringLiteral(":/splitwerk/ball.ico"));
    return pixmap.isNull() ? drawnBall() : pixmap;
}

QIcon programIcon() {
    QIcon icon(QStringLiteral(":/splitwerk/splitwerk.ico"));
    if (icon.availableSizes().isEmpty()) {
        return QIcon(drawnBall());
    }
    return icon;
}

} // namespace qtface
