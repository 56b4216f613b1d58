#pragma once
#include "reports/bandedreport.h"

class Database;
struct CertificateFilter;

// The certificate mirror: every selected certificate from a new page, with
// its general data, companies and their products, services and normative
// documents, and on request its event log.
class CertificateMirrorReport
{
public:
    static QString title(); // "Espelho dos Certificados com Log de Evento"

    // Raises DbError.
    static BandedReport build(Database &db, const CertificateFilter &filter, bool withLog, const QString &userName);
};
