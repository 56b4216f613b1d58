#include "reports/listreport.h"

ListReport::ListReport(const QString &title, const QString &userName, const QStringList &headerLines,
                       const QList<ReportColumn> &columns)
    : m_report(title)
{
    m_report.setUserName(userName);
    for (const QString &line : headerLines)
        m_report.addHeaderLine(line);
    m_report.setColumns(columns);
}

void ListReport::addRow(const QStringList &cells)
{
    m_report.addRow(cells);
    ++m_rows;
}

BandedReport ListReport::finish(const QString &totalLine)
{
    m_report.endColumns();
    m_report.addText(totalLine, true);
    return m_report;
}
