#include "reports/bandedreport.h"
#include "base/safefile.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

BandedReport::BandedReport(const QString &title)
    : m_title(title),
      m_date(QDate::currentDate())
{ }

QString BandedReport::userLabel() const
{
    return (QStringLiteral("Usuário: ") + m_userName).left(19);
}

void BandedReport::setColumns(const QList<ReportColumn> &columns)
{
    Band b{Kind::Columns};
    b.columns = columns;
    m_bands << b;
}

void BandedReport::addRow(const QStringList &cells)
{
    Band b{Kind::Row};
    b.cells = cells;
    m_bands << b;
}

void BandedReport::endColumns()
{
    m_bands << Band{Kind::EndColumns};
}

void BandedReport::addGroupHeader(const QString &text)
{
    Band b{Kind::Group};
    b.text = text;
    m_bands << b;
}

void BandedReport::addSection(const QString &title)
{
    Band b{Kind::Section};
    b.text = title;
    m_bands << b;
}

void BandedReport::addFields(const QList<QPair<QString, QString>> &fields, qreal indentMillimetres)
{
    Band b{Kind::Fields};
    b.fields = fields;
    b.mm = indentMillimetres;
    m_bands << b;
}

void BandedReport::addText(const QString &text, bool bold)
{
    Band b{Kind::Text};
    b.text = text;
    b.bold = bold;
    m_bands << b;
}

void BandedReport::addSpacer(qreal millimetres)
{
    Band b{Kind::Spacer};
    b.mm = millimetres;
    m_bands << b;
}

void BandedReport::addPageBreak()
{
    m_bands << Band{Kind::PageBreak};
}

CsvExport::Table BandedReport::tableData() const
{
    CsvExport::Table out;
    bool inTable = false;
    bool started = false;
    for (const Band &b : m_bands) {
        if (b.kind == Kind::Columns) {
            QStringList titles;
            for (const ReportColumn &c : b.columns)
                titles << c.title;
            if (!started) {
                out.headers = titles;
                started = true;
            }
            inTable = titles == out.headers;
        } else if (b.kind == Kind::EndColumns) {
            inTable = false;
        } else if (b.kind == Kind::Row && inTable) {
            QVariantList row;
            for (const QString &cell : b.cells)
                row << cell;
            out.rows << row;
        }
    }
    return out;
}

int BandedReport::rowCount() const
{
    int n = 0;
    for (const Band &b : m_bands)
        n += b.kind == Kind::Row;
    return n;
}

// Lays the bands out page by page while painting them.
class BandedReportPainter
{
public:
    BandedReportPainter(const BandedReport &report, QPagedPaintDevice &device, QPainter &painter)
        : r(report),
          dev(device),
          p(painter)
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

    int run()
    {
        startPage();
        for (const BandedReport::Band &b : r.m_bands) {
            switch (b.kind) {
            case BandedReport::Kind::Columns:
                m_columns = b.columns;
                m_shade = false;
                ensureRoom(headingHeight() + mm(6));
                drawHeading();
                break;
            case BandedReport::Kind::EndColumns:
                m_columns.clear();
                m_y += mm(2);
                break;
            case BandedReport::Kind::Row: drawRow(b.cells); break;
            case BandedReport::Kind::Group: drawTitled(b.text, m_group, false); break;
            case BandedReport::Kind::Section: drawTitled(b.text, m_section, true); break;
            case BandedReport::Kind::Fields: drawFields(b.fields, mm(b.mm)); break;
            case BandedReport::Kind::Text: drawText(b.text, b.bold ? m_bold : m_body); break;
            case BandedReport::Kind::Spacer: m_y += mm(b.mm); break;
            case BandedReport::Kind::PageBreak: newPage(); break;
            }
        }
        return m_page;
    }

private:
    qreal mm(qreal v) const { return v * m_dpi / 25.4; }

    qreal textHeight(const QFont &font, const QString &text, qreal width)
    {
        p.setFont(font);
        const QRectF br = p.boundingRect(QRectF(0, 0, qMax<qreal>(width, 1), 1e7),
                                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        return qMax(br.height(), QFontMetricsF(font, &dev).height());
    }

    void drawWrapped(const QFont &font, const QRectF &rect, const QString &text, Qt::Alignment align = Qt::AlignLeft)
    {
        p.setFont(font);
        p.drawText(rect, int(align | Qt::AlignTop | Qt::TextWordWrap), text);
    }

    void newPage()
    {
        dev.newPage();
        startPage();
        if (!m_columns.isEmpty())
            drawHeading();
    }

    // A band that does not fit goes to the next page, unless the page is
    // still empty (a band taller than a page is cut rather than looping).
    void ensureRoom(qreal height)
    {
        if (m_y + height > m_height && m_y > m_bodyTop + 0.5)
            newPage();
    }

    void drawLogo(const QRectF &box)
    {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x79));
        p.drawRoundedRect(box, box.width() * 0.18, box.width() * 0.18);
        p.setPen(QPen(Qt::white, box.width() * 0.09));
        p.setBrush(Qt::NoBrush);
        const QRectF ring = box.adjusted(box.width() * 0.22, box.width() * 0.22, -box.width() * 0.22,
                                         -box.width() * 0.22);
        p.drawArc(ring, 45 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0xa9, 0x00));
        const qreal d = box.width() * 0.16;
        p.drawEllipse(QRectF(ring.right() - d * 0.6, ring.center().y() - d / 2, d, d));
        p.restore();
    }

    void startPage()
    {
        ++m_page;
        m_shade = false;
        const qreal logo = mm(14);
        drawLogo(QRectF(0, 0, logo, logo));
        const qreal left = logo + mm(3);
        const qreal right = mm(58);
        const qreal textWidth = m_width - left - right - mm(2);
        drawWrapped(m_brand, QRectF(left, 0, textWidth, mm(8)), QStringLiteral("Corvane"));
        const qreal titleH = textHeight(m_titleFont, r.m_title, textWidth);
        drawWrapped(m_titleFont, QRectF(left, mm(8), textWidth, titleH), r.m_title);

        const qreal x = m_width - right;
        const qreal line = mm(4.5);
        const qreal labelW = mm(11);
        drawWrapped(m_bold, QRectF(x, 0, labelW, line), QStringLiteral("Pag"));
        drawWrapped(m_header, QRectF(x + labelW, 0, right - labelW, line), QString::number(m_page));
        drawWrapped(m_bold, QRectF(x, line, labelW, line), QStringLiteral("Data"));
        drawWrapped(m_header, QRectF(x + labelW, line, right - labelW, line),
                    r.m_date.toString(QStringLiteral("dd/MM/yyyy")));
        drawWrapped(m_header, QRectF(x, 2 * line, right, line), r.userLabel());

        m_y = qMax(logo, mm(8) + titleH) + mm(2);
        for (const QString &extra : r.m_headerLines) {
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

    QList<QPair<qreal, qreal>> columnSpans() const
    {
        qreal total = 0;
        for (const ReportColumn &c : m_columns)
            total += c.weight;
        QList<QPair<qreal, qreal>> spans;
        qreal x = 0;
        for (const ReportColumn &c : m_columns) {
            const qreal w = total > 0 ? m_width * c.weight / total : 0;
            spans << qMakePair(x, w);
            x += w;
        }
        return spans;
    }

    qreal cellsHeight(const QFont &font, const QStringList &cells)
    {
        const auto spans = columnSpans();
        qreal h = 0;
        for (int i = 0; i < spans.size() && i < cells.size(); ++i)
            h = qMax(h, textHeight(font, cells.at(i), spans.at(i).second - mm(2)));
        return h + mm(1.6);
    }

    QStringList titles() const
    {
        QStringList t;
        for (const ReportColumn &c : m_columns)
            t << c.title;
        return t;
    }

    qreal headingHeight() { return cellsHeight(m_bold, titles()); }

    void drawCells(const QFont &font, const QStringList &cells, qreal height)
    {
        const auto spans = columnSpans();
        for (int i = 0; i < spans.size() && i < cells.size(); ++i) {
            const QRectF cell(spans.at(i).first + mm(1), m_y + mm(0.8), spans.at(i).second - mm(2), height);
            drawWrapped(font, cell, cells.at(i), m_columns.at(i).align & Qt::AlignHorizontal_Mask);
        }
    }

    void drawHeading()
    {
        const qreal h = headingHeight();
        p.fillRect(QRectF(0, m_y, m_width, h), QColor(0xdd, 0xe4, 0xec));
        p.setPen(Qt::black);
        drawCells(m_bold, titles(), h);
        m_y += h;
        p.setPen(QPen(Qt::black, mm(0.2)));
        p.drawLine(QPointF(0, m_y), QPointF(m_width, m_y));
        p.setPen(Qt::black);
    }

    void drawRow(const QStringList &cells)
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

    void drawTitled(const QString &text, const QFont &font, bool rule)
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

    void drawFields(const QList<QPair<QString, QString>> &fields, qreal indent)
    {
        const qreal width = m_width - indent;
        qreal labelW = 0;
        for (const auto &f : fields)
            labelW = qMax(labelW, QFontMetricsF(m_bold, &dev).horizontalAdvance(f.first));
        labelW = qMin(labelW + mm(2), width / 2);
        for (const auto &f : fields) {
            const qreal h = qMax(textHeight(m_bold, f.first, labelW), textHeight(m_body, f.second, width - labelW)) +
                mm(1);
            ensureRoom(h);
            drawWrapped(m_bold, QRectF(indent, m_y, labelW, h), f.first);
            drawWrapped(m_body, QRectF(indent + labelW, m_y, width - labelW, h), f.second);
            m_y += h;
        }
    }

    void drawText(const QString &text, const QFont &font)
    {
        const qreal h = textHeight(font, text, m_width) + mm(1);
        ensureRoom(h);
        drawWrapped(font, QRectF(0, m_y, m_width, h), text);
        m_y += h;
    }

    const BandedReport &r;
    QPagedPaintDevice &dev;
    QPainter &p;
    qreal m_dpi = 72;
    qreal m_width = 0;
    qreal m_height = 0;
    qreal m_y = 0;
    qreal m_bodyTop = 0;
    int m_page = 0;
    bool m_shade = false;
    QList<ReportColumn> m_columns;
    QFont m_body, m_bold, m_group, m_section, m_brand, m_titleFont, m_header;
};

int BandedReport::render(QPagedPaintDevice &device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    BandedReportPainter layout(*this, device, painter);
    const int pages = layout.run();
    painter.end();
    return pages;
}

bool BandedReport::exportPdf(const QString &path, QString *why) const
{
    // Written whole under a scratch name: a full disk leaves no stub behind.
    SafeFile::Writer out(path);
    auto failed = [&] {
        if (why)
            *why = out.error();
        return false;
    };
    if (!out.open())
        return failed();
    {
        QPdfWriter writer(out.device());
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
        writer.setTitle(m_title);
        writer.setCreator(QStringLiteral("Corvane"));
        if (render(writer) == 0) {
            if (why)
                *why = QStringLiteral("o relatório não pôde ser desenhado");
            return false;
        }
    }
    // The writer's own failures show on the device only.
    if (!out.commit())
        return failed();
    return true;
}
