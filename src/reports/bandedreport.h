#pragma once
#include "base/csvexport.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

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

private:
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
    friend class BandedReportPainter;

    QString m_title;
    QString m_userName;
    QDate m_date;
    QStringList m_headerLines;
    QList<Band> m_bands;
};
