#include "widgets/shellicons.h"
#include "widgets/iconpalette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

using namespace IconPalette;

void database(QPainter &p)
{
    p.setPen(QPen(Dark, 1.4));
    p.setBrush(QColor(0x5b, 0x8f, 0xc7));
    QPainterPath body;
    body.moveTo(6, 8);
    body.lineTo(6, 25);
    body.arcTo(QRectF(6, 21, 20, 8), 180, 180);
    body.lineTo(26, 8);
    p.drawPath(body);
    p.setBrush(QColor(0x9c, 0xc3, 0xea));
    p.drawEllipse(QRectF(6, 4, 20, 8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 10, 20, 8), 180 * 16, 180 * 16);
    p.drawArc(QRectF(6, 16, 20, 8), 180 * 16, 180 * 16);
}

void send(QPainter &p)
{
    p.setPen(QPen(Dark, 1.4));
    p.setBrush(QColor(0xf4, 0xf4, 0xf0));
    p.drawRect(QRectF(4, 9, 20, 15));
    p.drawLine(QPointF(4, 9), QPointF(14, 18));
    p.drawLine(QPointF(24, 9), QPointF(14, 18));
    p.setBrush(Green);
    p.setPen(QPen(Green.darker(130), 1));
    QPolygonF arrow;
    arrow << QPointF(20, 20) << QPointF(28, 14) << QPointF(28, 18) << QPointF(30, 18) << QPointF(30, 22)
          << QPointF(28, 22) << QPointF(28, 26);
    p.drawPolygon(arrow);
}

void update(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Green, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(6, 6, 20, 20), 30 * 16, 150 * 16);
    p.setPen(QPen(Blue, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(6, 6, 20, 20), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(3, 13), QPointF(11, 13), QPointF(6, 19)}));
    p.setBrush(Blue);
    p.drawPolygon(QPolygonF({QPointF(29, 19), QPointF(21, 19), QPointF(26, 13)}));
}

void certifier(QPainter &p)
{
    p.setPen(QPen(Dark, 1.3));
    p.setBrush(QColor(0xfb, 0xf6, 0xe4));
    p.drawRect(QRectF(4, 5, 24, 18));
    p.setPen(QPen(QColor(0x88, 0x88, 0x88), 1.2));
    for (int y : {10, 14})
        p.drawLine(QPointF(8, y), QPointF(24, y));
    p.drawLine(QPointF(8, 18), QPointF(15, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawPolygon(QPolygonF({QPointF(18, 22), QPointF(18, 30), QPointF(21, 27), QPointF(24, 30), QPointF(24, 22)}));
    p.setBrush(Gold);
    p.setPen(QPen(Gold.darker(140), 1));
    p.drawEllipse(QRectF(16.5, 15, 9, 9));
}

void folder(QPainter &p)
{
    p.setPen(QPen(QColor(0x9a, 0x6b, 0x0a), 1.3));
    p.setBrush(QColor(0xf5, 0xc2, 0x42));
    QPolygonF back({QPointF(3, 8), QPointF(12, 8), QPointF(15, 11), QPointF(29, 11), QPointF(29, 26), QPointF(3, 26)});
    p.drawPolygon(back);
    p.setBrush(QColor(0xfb, 0xd8, 0x6b));
    p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(7, 15), QPointF(31, 15), QPointF(29, 26)}));
}

void person(QPainter &p, qreal x, qreal y, qreal s, const QColor &c)
{
    p.setPen(QPen(c.darker(150), 1.1));
    p.setBrush(c);
    p.drawEllipse(QRectF(x - 4 * s, y, 8 * s, 8 * s));
    QPainterPath body;
    body.moveTo(x - 8 * s, y + 20 * s);
    body.cubicTo(x - 8 * s, y + 9 * s, x + 8 * s, y + 9 * s, x + 8 * s, y + 20 * s);
    body.closeSubpath();
    p.drawPath(body);
}

void users(QPainter &p)
{
    person(p, 21, 5, 0.95, QColor(0x7f, 0xa8, 0xd6));
    person(p, 12, 8, 1.05, Blue);
}

void key(QPainter &p)
{
    p.setPen(QPen(QColor(0x8a, 0x62, 0x00), 1.3));
    p.setBrush(Gold);
    p.drawEllipse(QRectF(3, 9, 13, 13));
    p.drawRect(QRectF(15, 13.5, 14, 4));
    p.drawRect(QRectF(23, 17, 3, 5));
    p.drawRect(QRectF(18, 17, 3, 4));
    p.setBrush(QColor(0xfb, 0xf6, 0xe4));
    p.drawEllipse(QRectF(6.5, 12.5, 5, 5));
}

void relogin(QPainter &p)
{
    person(p, 13, 5, 1.0, Blue);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Green, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(17, 13, 12, 12), 90 * 16, -270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(23, 10), QPointF(27, 13), QPointF(23, 16)}));
}

void exitIcon(QPainter &p)
{
    p.setPen(QPen(Dark, 1.3));
    p.setBrush(QColor(0xa0, 0x6a, 0x3c));
    p.drawRect(QRectF(5, 4, 14, 24));
    p.setBrush(Gold);
    p.drawEllipse(QRectF(15, 15, 2.5, 2.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRect(QRectF(17, 14, 8, 4));
    p.drawPolygon(QPolygonF({QPointF(24, 9), QPointF(31, 16), QPointF(24, 23)}));
}

void help(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(QRectF(4, 4, 24, 24));
    QFont f;
    f.setBold(true);
    f.setPixelSize(18);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 4, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
}

QPixmap draw(ShellIcons::Icon which, bool disabled)
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    switch (which) {
    case ShellIcons::Database: database(p); break;
    case ShellIcons::Send: send(p); break;
    case ShellIcons::Update: update(p); break;
    case ShellIcons::Certifier: certifier(p); break;
    case ShellIcons::Folder: folder(p); break;
    case ShellIcons::Users: users(p); break;
    case ShellIcons::Key: key(p); break;
    case ShellIcons::Relogin: relogin(p); break;
    case ShellIcons::Exit: exitIcon(p); break;
    case ShellIcons::Help: help(p); break;
    case ShellIcons::None: break;
    }
    p.end();
    if (disabled) {
        QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]) * 45 / 100);
            }
        }
        return QPixmap::fromImage(img);
    }
    return pm;
}

}

namespace ShellIcons {

QIcon icon(Icon which)
{
    if (which == None)
        return QIcon();
    QIcon out;
    out.addPixmap(draw(which, false), QIcon::Normal);
    out.addPixmap(draw(which, true), QIcon::Disabled);
    return out;
}

}
