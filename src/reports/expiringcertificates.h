#pragma once
#include "base/csvexport.h"
#include "reports/bandedreport.h"

#include <QDate>
#include <QList>
#include <QString>

class Database;

// Active certificates whose validity ends within a number of days of today:
// "Certificados a Vencer". A certificate valid until today has 0 days left
// and is listed; one that ended yesterday is not. Days are counted between
// calendar dates, never between moments.
namespace ExpiringCertificates {

struct Row
{
    QString sigla;
    QString numero;
    QString classe; // certificate class name (its code when unnamed)
    QString empresa; // the "Fabricante", else the first company linked
    QDate validade;
    int diasRestantes = 0;
};

inline constexpr int DefaultDays = 60;
// The choices offered beside a typed number.
inline constexpr int Choices[] = {30, 60, 90};

QString title();
// Sorted by validity, then number. Raises DbError.
QList<Row> list(Database &db, const QDate &today, int days);
int count(Database &db, const QDate &today, int days);
// "Certificados a vencer em D dias: N" for the status bar; empty
// when there are none.
QString notice(int found, int days);
// The report ("Certificados a Vencer") and the spreadsheet of the same rows.
BandedReport report(const QList<Row> &rows, const QDate &today, int days, const QString &userName);
CsvExport::Table table(const QList<Row> &rows);

}
