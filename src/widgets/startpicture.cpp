#include "widgets/startpicture.h"

#include "shell/appversion.h"
#include "widgets/dialogparts.h"

#include <QPainter>
#include <QPainterPath>

void StartPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x12, 0x33, 0x55));
    sky.setColorAt(1, QColor(0x2c, 0x6b, 0xa3));
    p.fillRect(rect(), sky);

    // Soft arcs across the background.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(255, 255, 255, 10 + i * 4));
        const qreal r = width() * (0.55 + i * 0.18);
        p.drawEllipse(QPointF(width() * 1.02, height() * 1.15), r, r);
    }

    const qreal mark = 96;
    const QRectF markBox(width() / 2.0 - mark / 2, height() * 0.16, mark, mark);
    DialogParts::paintMark(p, markBox);

    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * 3.2);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    const qreal y = markBox.bottom() + 12;
    p.drawText(QRectF(0, y, width(), 60), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Corvane"));

    QFont sub = font();
    sub.setPointSizeF(sub.pointSizeF() * 1.45);
    p.setFont(sub);
    p.setPen(QColor(0xd5, 0xe4, 0xf2));
    p.drawText(QRectF(0, y + 58, width(), 30), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Módulo do Certificador"));
    QFont small = font();
    p.setFont(small);
    p.setPen(QColor(0xa9, 0xc4, 0xdf));
    p.drawText(QRectF(0, y + 88, width(), 24), Qt::AlignHCenter | Qt::AlignTop, AppVersion::text());
}
