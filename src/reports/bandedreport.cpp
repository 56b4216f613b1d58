#include "reports/bandedreport.h"
#include "base/safefile.h"
#include "reports/reportpainter.h"

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
    add(std::move(b));
}

void BandedReport::addRow(const QStringList &cells)
{
    Band b{Kind::Row};
    b.cells = cells;
    add(std::move(b));
}

void BandedReport::endColumns()
{
    add(Band{Kind::EndColumns});
}

void BandedReport::addGroupHeader(const QString &text)
{
    Band b{Kind::Group};
    b.text = text;
    add(std::move(b));
}

void BandedReport::addSection(const QString &title)
{
    Band b{Kind::Section};
    b.text = title;
    add(std::move(b));
}

void BandedReport::addFields(const QList<QPair<QString, QString>> &fields, qreal indentMillimetres)
{
    Band b{Kind::Fields};
    b.fields = fields;
    b.mm = indentMillimetres;
    add(std::move(b));
}

void BandedReport::addText(const QString &text, bool bold)
{
    Band b{Kind::Text};
    b.text = text;
    b.bold = bold;
    add(std::move(b));
}

void BandedReport::addSpacer(qreal millimetres)
{
    Band b{Kind::Spacer};
    b.mm = millimetres;
    add(std::move(b));
}

void BandedReport::addPageBreak()
{
    add(Band{Kind::PageBreak});
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

void BandedReport::add(Band &&b)
{
    if (m_sink)
        m_sink(b);
    else
        m_bands << std::move(b);
}

int BandedReport::render(QPagedPaintDevice &device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    ReportPainter layout(*this, device, painter);
    for (const Band &b : m_bands)
        layout.add(b);
    const int pages = layout.finish();
    painter.end();
    return pages;
}

int BandedReport::renderStreamed(QPagedPaintDevice &device, const Producer &produce, int firstPage)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    ReportPainter layout(*this, device, painter, firstPage);
    for (const Band &b : std::as_const(m_bands))
        layout.add(b);
    m_sink = [&layout](const Band &b) { layout.add(b); };
    try {
        produce(*this);
    } catch (...) {
        m_sink = nullptr;
        painter.end();
        throw;
    }
    m_sink = nullptr;
    const int pages = layout.finish();
    painter.end();
    return pages;
}

bool BandedReport::exportPdf(const QString &path, QString *why) const
{
    return exportPdf(path, m_title, why, [this](QPagedPaintDevice &device) { return render(device); });
}

bool BandedReport::exportPdfStreamed(const QString &path, const Producer &produce, QString *why)
{
    return exportPdf(path, m_title, why,
                     [this, &produce](QPagedPaintDevice &device) { return renderStreamed(device, produce); });
}

bool BandedReport::exportPdf(const QString &path, const QString &title, QString *why,
                             const std::function<int(QPagedPaintDevice &)> &render)
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
        writer.setTitle(title);
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
