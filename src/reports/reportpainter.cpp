#include "reports/reportpainter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

ReportPainter::ReportPainter(const BandedReport &header, QPagedPaintDevice &device, QPainter &painter, int firstPage)
    : r(header),
      dev(device),
      p(painter),
      m_first(firstPage),
      m_page(firstPage - 1)
{
    m_dpi = device.logicalDpiY();
    m_width = device.width();
    m_height = device.height();
    const QString family = QStringLiteral("DejaVu Sans");
    m_body = QFont(family, 8);
    m_bold = QFont(family, 8, QFont::Bold);
    m_group = QFont(family, 9, QFont::Bold);
    m_section = QFont(family, 10, QFont::Bold);
    m_brand = QFont(family, 16, QFont::Bold);
    m_titleFont = QFont(family, 12, QFont::Bold);
    m_header = QFont(family, 8);
    // Ligatures ("fi") would reach extracted text as single glyphs.
    for (QFont *f : {&m_body, &m_bold, &m_group, &m_section, &m_brand, &m_titleFont, &m_header})
        f->setStyleStrategy(QFont::PreferNoShaping);
}

void ReportPainter::add(const BandedReport::Band &b)
{
    using Kind = BandedReport::Kind;
    if (!m_started)
        startPage();
    switch (b.kind) {
    case Kind::Columns:
        setColumns(b.columns);
        m_shade = false;
        ensureRoom(headingHeight() + mm(6));
        drawHeading();
        break;
    case Kind::EndColumns:
        setColumns({});
        m_y += mm(2);
        break;
    case Kind::Row: drawRow(b.cells); break;
    case Kind::Group: drawTitled(b.text, m_group, false); break;
    case Kind::Section: drawTitled(b.text, m_section, true); break;
    case Kind::Fields: drawFields(b.fields, mm(b.mm)); break;
    case Kind::Text: drawText(b.text, b.bold ? m_bold : m_body); break;
    case Kind::Spacer: m_y += mm(b.mm); break;
    case Kind::PageBreak: newPage(); break;
    }
}

int ReportPainter::finish()
{
    if (!m_started)
        startPage();
    return m_page - m_first + 1;
}

qreal ReportPainter::lineHeight(const QFont &font)
{
    auto it = m_lineHeights.constFind(&font);
    if (it == m_lineHeights.constEnd())
        it = m_lineHeights.insert(&font, QFontMetricsF(font, &dev).height());
    return *it;
}

qreal ReportPainter::textHeight(const QFont &font, const QString &text, qreal width)
{
    p.setFont(font);
    const QRectF br = p.boundingRect(QRectF(0, 0, qMax<qreal>(width, 1), 1e7),
                                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    return qMax(br.height(), lineHeight(font));
}

void ReportPainter::drawWrapped(const QFont &font, const QRectF &rect, const QString &text, Qt::Alignment align)
{
    p.setFont(font);
    p.drawText(rect, int(align | Qt::AlignTop | Qt::TextWordWrap), text);
}

void ReportPainter::newPage()
{
    dev.newPage();
    startPage();
    if (!m_columns.isEmpty())
        drawHeading();
}

// A band that does not fit goes to the next page, unless the page is still
// empty (a band taller than a page is cut rather than looping).
void ReportPainter::ensureRoom(qreal height)
{
    if (m_y + height > m_height && m_y > m_bodyTop + 0.5)
        newPage();
}

void ReportPainter::drawLogo(const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.drawRoundedRect(box, box.width() * 0.18, box.width() * 0.18);
    p.setPen(QPen(Qt::white, box.width() * 0.09));
    p.setBrush(Qt::NoBrush);
    const QRectF ring = box.adjusted(box.width() * 0.22, box.width() * 0.22, -box.width() * 0.22, -box.width() * 0.22);
    p.drawArc(ring, 45 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xa9, 0x00));
    const qreal d = box.width() * 0.16;
    p.drawEllipse(QRectF(ring.right() - d * 0.6, ring.center().y() - d / 2, d, d));
    p.restore();
}

void ReportPainter::startPage()
{
    m_started = true;
    ++m_page;
    m_shade = false;
    const qreal logo = mm(14);
    drawLogo(QRectF(0, 0, logo, logo));
    const qreal left = logo + mm(3);
    const qreal right = mm(58);
    const qreal textWidth = m_width - left - right - mm(2);
    drawWrapped(m_brand, QRectF(left, 0, textWidth, mm(8)), QStringLiteral("Corvane"));
    const qreal titleH = textHeight(m_titleFont, r.title(), textWidth);
    drawWrapped(m_titleFont, QRectF(left, mm(8), textWidth, titleH), r.title());

    const qreal x = m_width - right;
    const qreal line = mm(4.5);
    const qreal labelW = mm(11);
    drawWrapped(m_bold, QRectF(x, 0, labelW, line), QStringLiteral("Pag"));
    drawWrapped(m_header, QRectF(x + labelW, 0, right - labelW, line), QString::number(m_page));
    drawWrapped(m_bold, QRectF(x, line, labelW, line), QStringLiteral("Data"));
    drawWrapped(m_header, QRectF(x + labelW, line, right - labelW, line),
                r.date().toString(QStringLiteral("dd/MM/yyyy")));
    drawWrapped(m_header, QRectF(x, 2 * line, right, line), r.userLabel());

    m_y = qMax(logo, mm(8) + titleH) + mm(2);
    for (const QString &extra : r.headerLines()) {
        const qreal h = textHeight(m_header, extra, m_width);
        drawWrapped(m_header, QRectF(0, m_y, m_width, h), extra);
        m_y += h;
    }
    m_y += mm(1);
    p.setPen(QPen(Qt::black, mm(0.4)));
    p.drawLine(QPointF(0, m_y), QPointF(m_width, m_y));
    p.setPen(Qt::black);
    m_y += mm(2.5);
    m_bodyTop = m_y;
}

void ReportPainter::setColumns(const QList<ReportColumn> &columns)
{
    m_columns = columns;
    m_titles.clear();
    m_spans.clear();
    qreal total = 0;
    for (const ReportColumn &c : m_columns) {
        total += c.weight;
        m_titles << c.title;
    }
    qreal x = 0;
    for (const ReportColumn &c : m_columns) {
        const qreal w = total > 0 ? m_width * c.weight / total : 0;
        m_spans << qMakePair(x, w);
        x += w;
    }
}

qreal ReportPainter::cellsHeight(const QFont &font, const QStringList &cells)
{
    qreal h = 0;
    for (int i = 0; i < m_spans.size() && i < cells.size(); ++i)
        h = qMax(h, textHeight(font, cells.at(i), m_spans.at(i).second - mm(2)));
    return h + mm(1.6);
}

void ReportPainter::drawCells(const QFont &font, const QStringList &cells, qreal height)
{
    for (int i = 0; i < m_spans.size() && i < cells.size(); ++i) {
        const QRectF cell(m_spans.at(i).first + mm(1), m_y + mm(0.8), m_spans.at(i).second - mm(2), height);
        drawWrapped(font, cell, cells.at(i), m_columns.at(i).align & Qt::AlignHorizontal_Mask);
    }
}

void ReportPainter::drawHeading()
{
    const qreal h = headingHeight();
    p.fillRect(QRectF(0, m_y, m_width, h), QColor(0xdd, 0xe4, 0xec));
    p.setPen(Qt::black);
    drawCells(m_bold, m_titles, h);
    m_y += h;
    p.setPen(QPen(Qt::black, mm(0.2)));
    p.drawLine(QPointF(0, m_y), QPointF(m_width, m_y));
    p.setPen(Qt::black);
}

void ReportPainter::drawRow(const QStringList &cells)
{
    const qreal h = cellsHeight(m_body, cells);
    ensureRoom(h);
    if (m_shade)
        p.fillRect(QRectF(0, m_y, m_width, h), QColor(0xf3, 0xf5, 0xf7));
    m_shade = !m_shade;
    p.setPen(Qt::black);
    drawCells(m_body, cells, h);
    m_y += h;
}

void ReportPainter::drawTitled(const QString &text, const QFont &font, bool rule)
{
    const qreal h = textHeight(font, text, m_width) + mm(1.5);
    ensureRoom(h + mm(10));
    m_y += mm(1);
    drawWrapped(font, QRectF(0, m_y, m_width, h), text);
    m_y += h;
    if (rule) {
        p.setPen(QPen(Qt::black, mm(0.2)));
        p.drawLine(QPointF(0, m_y - mm(0.8)), QPointF(m_width, m_y - mm(0.8)));
        p.setPen(Qt::black);
    }
}

void ReportPainter::drawFields(const QList<QPair<QString, QString>> &fields, qreal indent)
{
    const qreal width = m_width - indent;
    qreal labelW = 0;
    const QFontMetricsF bold(m_bold, &dev);
    for (const auto &f : fields)
        labelW = qMax(labelW, bold.horizontalAdvance(f.first));
    labelW = qMin(labelW + mm(2), width / 2);
    for (const auto &f : fields) {
        const qreal h = qMax(textHeight(m_bold, f.first, labelW), textHeight(m_body, f.second, width - labelW)) + mm(1);
        ensureRoom(h);
        drawWrapped(m_bold, QRectF(indent, m_y, labelW, h), f.first);
        drawWrapped(m_body, QRectF(indent + labelW, m_y, width - labelW, h), f.second);
        m_y += h;
    }
}

void ReportPainter::drawText(const QString &text, const QFont &font)
{
    const qreal h = textHeight(font, text, m_width) + mm(1);
    ensureRoom(h);
    drawWrapped(font, QRectF(0, m_y, m_width, h), text);
    m_y += h;
}
