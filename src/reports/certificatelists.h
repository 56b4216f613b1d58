#pragma once
#include "reports/bandedreport.h"

#include <QStringList>

class Database;
struct CertificateFilter;

// The list of the selected certificates ("Lista dos Certificados").
class CertificateListReport
{
public:
    static QString title();
    // Raises DbError.
    static BandedReport build(Database &db, const CertificateFilter &filter, const QString &userName);
};

// The certificates still incomplete, each with what it lacks.
class IncompleteCertificatesReport
{
public:
    static QString title();
    // The pending lines of one certificate: companies, products or services,
    // normative documents; empty when nothing is missing. Raises DbError.
    static QString pendencias(Database &db, const QString &certifier, const QString &number);
    // numbers: only these certificates (the batch tool); empty for all.
    // Raises DbError.
    static BandedReport build(Database &db, const QString &userName, const QStringList &numbers = {});
    static int count(Database &db, const QStringList &numbers = {});
};

// Complete certificates of the local certifier not yet approved, newest
// change first.
class ReadyCertificatesReport
{
public:
    static QString title();
    static BandedReport build(Database &db, const QString &userName, const QStringList &numbers = {});
    static int count(Database &db, const QStringList &numbers = {});
};
