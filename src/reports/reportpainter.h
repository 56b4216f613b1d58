#pragma once
#include "reports/bandedreport.h"

#include <QFont>
#include <QHash>

class QPagedPaintDevice;
class QPainter;

// Lays a report's bands out page by page while painting them: a band that
// does not fit goes to the next page, a table's heading repeats on each page
// the table runs onto. Bands are taken one at a time, so they need not be
// kept anywhere.
class ReportPainter
{
public:
    // header gives the title, user, date and header lines of every page; it
    // must outlive the painter. Pages are numbered from firstPage.
    ReportPainter(const BandedReport &header, QPagedPaintDevice &device, QPainter &painter, int firstPage = 1);

    void add(const BandedReport::Band &b);
    // Ends the last page; returns the number of pages painted (a report
    // without bands has one).
    int finish();

private:
    qreal mm(qreal v) const { return v * m_dpi / 25.4; }
    qreal lineHeight(const QFont &font);
    qreal textHeight(const QFont &font, const QString &text, qreal width);
    void drawWrapped(const QFont &font, const QRectF &rect, const QString &text, Qt::Alignment align = Qt::AlignLeft);
    void newPage();
    void ensureRoom(qreal height);
    void drawLogo(const QRectF &box);
    void startPage();
    void setColumns(const QList<ReportColumn> &columns);
    qreal cellsHeight(const QFont &font, const QStringList &cells);
    qreal headingHeight() { return cellsHeight(m_bold, m_titles); }
    void drawCells(const QFont &font, const QStringList &cells, qreal height);
    void drawHeading();
    void drawRow(const QStringList &cells);
    void drawTitled(const QString &text, const QFont &font, bool rule);
    void drawFields(const QList<QPair<QString, QString>> &fields, qreal indent);
    void drawText(const QString &text, const QFont &font);

    const BandedReport &r;
    QPagedPaintDevice &dev;
    QPainter &p;
    qreal m_dpi = 72;
    qreal m_width = 0;
    qreal m_height = 0;
    qreal m_y = 0;
    qreal m_bodyTop = 0;
    int m_first = 1;
    int m_page = 0;
    bool m_started = false;
    bool m_shade = false;
    QList<ReportColumn> m_columns;
    QStringList m_titles;
    QList<QPair<qreal, qreal>> m_spans;
    QFont m_body, m_bold, m_group, m_section, m_brand, m_titleFont, m_header;
    QHash<const QFont *, qreal> m_lineHeights;
};
