#include "maintenance/ui/maintenanceicons.h"

#include "widgets/iconpalette.h"
#include "widgets/shellicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

using namespace IconPalette;
const QColor Paper(0xfb, 0xfb, 0xf6);

// A certificate sheet with a seal.
void sheet(QPainter &p)
{
    p.setPen(QPen(Dark, 1.3));
    p.setBrush(Paper);
    p.drawRect(QRectF(5, 3, 18, 24));
    p.setPen(QPen(QColor(0x90, 0x9a, 0xa6), 1.2));
    for (int y : {8, 12, 16})
        p.drawLine(QPointF(8, y), QPointF(20, y));
    p.setPen(Qt::NoPen);
    p.setBrush(Gold);
    p.drawEllipse(QRectF(14, 18, 7, 7));
}

void badge(QPainter &p, const QColor &colour, const QString &mark)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(17, 17, 13, 13));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(17, 16, 13, 13), Qt::AlignCenter, mark);
}

void pencil(QPainter &p)
{
    p.save();
    p.translate(22, 22);
    p.rotate(45);
    p.setPen(QPen(Dark, 1));
    p.setBrush(Gold);
    p.drawRect(QRectF(-3, -12, 6, 16));
    p.setBrush(QColor(0xf0, 0xd0, 0xa0));
    p.drawPolygon(QPolygonF({QPointF(-3, 4), QPointF(3, 4), QPointF(0, 9)}));
    p.restore();
}

void building(QPainter &p)
{
    p.setPen(QPen(Dark, 1.2));
    p.setBrush(QColor(0x9c, 0xb8, 0xd6));
    p.drawRect(QRectF(4, 8, 12, 20));
    p.setBrush(QColor(0x7a, 0x9c, 0xc2));
    p.drawRect(QRectF(16, 14, 12, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    for (int y : {11, 16, 21})
        for (int x : {6, 11})
            p.drawRect(QRectF(x, y, 3, 3));
    for (int x : {19, 24})
        p.drawRect(QRectF(x, 18, 3, 3));
}

void box(QPainter &p)
{
    p.setPen(QPen(Dark, 1.2));
    p.setBrush(QColor(0xd9, 0xa8, 0x6c));
    QPolygonF front({QPointF(4, 12), QPointF(16, 16), QPointF(16, 29), QPointF(4, 25)});
    QPolygonF side({QPointF(16, 16), QPointF(28, 12), QPointF(28, 25), QPointF(16, 29)});
    QPolygonF top({QPointF(4, 12), QPointF(16, 8), QPointF(28, 12), QPointF(16, 16)});
    p.drawPolygon(front);
    p.setBrush(QColor(0xc2, 0x8e, 0x52));
    p.drawPolygon(side);
    p.setBrush(QColor(0xe8, 0xc2, 0x8e));
    p.drawPolygon(top);
}

void grid(QPainter &p)
{
    p.setPen(QPen(Dark, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setBrush(Blue);
    p.drawRect(QRectF(3, 5, 26, 5));
    p.setPen(QPen(QColor(0x90, 0x9a, 0xa6), 1));
    for (int y : {15, 20})
        p.drawLine(QPointF(4, y), QPointF(28, y));
    p.drawLine(QPointF(12, 10), QPointF(12, 26));
}

void import(QPainter &p)
{
    p.setPen(QPen(Dark, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(4, 3, 15, 20));
    QFont f = p.font();
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(4, 8, 15, 9), Qt::AlignCenter, QStringLiteral("TXT"));
    p.setPen(QPen(Green, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 18), QPointF(26, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(29, 29), QPointF(20, 28), QPointF(28, 20)}));
}

}

namespace MaintenanceIcons {

QIcon icon(Icon which)
{
    if (which == Exit)
        return ShellIcons::icon(ShellIcons::Exit);
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case NewCertificate:
        sheet(p);
        badge(p, Green, QStringLiteral("+"));
        break;
    case EditCertificate:
        sheet(p);
        pencil(p);
        break;
    case DeleteCertificate:
        sheet(p);
        badge(p, Red, QStringLiteral("×"));
        break;
    case Companies: building(p); break;
    case Products: box(p); break;
    case QueloraTables: grid(p); break;
    case Import: import(p); break;
    case Exit: break;
    }
    p.end();
    return QIcon(pm);
}

}
