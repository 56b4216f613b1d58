#pragma once
#include "reports/bandedreport.h"

// A report that is one list: header lines, the columns, a row per entry and
// a bold total line under them. Every list report is built on it.
class ListReport
{
public:
    ListReport(const QString &title, const QString &userName, const QStringList &headerLines,
               const QList<ReportColumn> &columns);

    void setDate(const QDate &date) { m_report.setDate(date); }
    void addRow(const QStringList &cells);
    // Lines that run under the last row across the page.
    BandedReport &report() { return m_report; }
    int rowCount() const { return m_rows; }
    // Closes the list with its total line.
    BandedReport finish(const QString &totalLine);

private:
    BandedReport m_report;
    int m_rows = 0;
};
