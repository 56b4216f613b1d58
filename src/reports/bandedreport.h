#pragma once
#include "base/csvexport.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// One column of a tabular band: its title, its share of the page width and
// the alignment of its cells.
struct ReportColumn
{
    QString title;
    qreal weight = 1.0;
    Qt::Alignment align = Qt::AlignLeft;
};

// A banded report laid out on A4 portrait pages. Every page starts with the
// common header: "Corvane", the report's title, the logo, "Pag" with the page
// number, "Data" with the date and the user line; extra header lines (a
// selection, the certifier) follow. The body is a sequence of bands: tables
// whose column heading repeats on each page, group and section headings,
// label/value lines, free text and page breaks.
//
// A report is either kept whole (the bands added are stored, then rendered)
// or streamed: renderStreamed and exportPdfStreamed paint each band as the
// producer adds it, so a report of thousands of pages is never held.
class BandedReport
{
public:
    explicit BandedReport(const QString &title);

    QString title() const { return m_title; }
    // The user line: "Usuário: " + name, at most 19 characters in all.
    void setUserName(const QString &name) { m_userName = name; }
    QString userLabel() const;
    void setDate(const QDate &date) { m_date = date; }
    QDate date() const { return m_date; }
    void addHeaderLine(const QString &line) { m_headerLines << line; }
    QStringList headerLines() const { return m_headerLines; }

    // Starts a table; rows follow until the next setColumns or endColumns.
    void setColumns(const QList<ReportColumn> &columns);
    void addRow(const QStringList &cells);
    void endColumns();
    // A bold line that opens a group (kept with the band that follows it).
    void addGroupHeader(const QString &text);
    // A section title with a rule under it.
    void addSection(const QString &title);
    // "Label: value" lines, the labels in bold, shifted right by indent
    // (details under a table row).
    void addFields(const QList<QPair<QString, QString>> &fields, qreal indentMillimetres = 0);
    void addText(const QString &text, bool bold = false);
    void addSpacer(qreal millimetres);
    void addPageBreak();

    int rowCount() const;
    // The rows of the report's tables that share the first table's columns,
    // as text, for a spreadsheet.
    CsvExport::Table tableData() const;

    // Paints every page onto the device (a printer or a PDF writer); returns
    // the number of pages.
    int render(QPagedPaintDevice &device) const;
    // Writes the report as a PDF file; false, with the cause in *why, when
    // the file could not be made (nothing is then left at path).
    bool exportPdf(const QString &path, QString *why = nullptr) const;

    // The bands produce adds to this report are painted at once and not
    // kept; the header (title, user, date, header lines) must be set before.
    // Pages are numbered from firstPage. Returns the number of pages painted
    // (0 when the device could not be painted on). produce may throw; the
    // device is closed on the way out.
    using Producer = std::function<void(BandedReport &)>;
    int renderStreamed(QPagedPaintDevice &device, const Producer &produce, int firstPage = 1);
    bool exportPdfStreamed(const QString &path, const Producer &produce, QString *why = nullptr);

    enum class Kind { Columns, EndColumns, Row, Group, Section, Fields, Text, Spacer, PageBreak };
    struct Band
    {
        Kind kind;
        QStringList cells{};
        QList<ReportColumn> columns{};
        QList<QPair<QString, QString>> fields{};
        QString text{};
        bool bold = false;
        qreal mm = 0;
    };

private:
    void add(Band &&b);
    static bool exportPdf(const QString &path, const QString &title, QString *why,
                          const std::function<int(QPagedPaintDevice &)> &render);


    QString m_title;
    QString m_userName;
    QDate m_date;
    QStringList m_headerLines;
    QList<Band> m_bands;
    // Set while streaming: where added bands go instead of m_bands.
    std::function<void(const Band &)> m_sink;
};
