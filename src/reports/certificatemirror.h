#pragma once
#include "register/certificatefilter.h"
#include "reports/bandedreport.h"
#include "reports/pagedreport.h"

class Database;

// The certificate mirror: every selected certificate from a new page, with
// its general data, companies and their products, services and normative
// documents, and on request its event log.
//
// A register's whole selection runs to tens of thousands of pages: the PDF
// and the printout are painted as the certificates are read (exportPdf,
// print), never held whole; build() keeps the bands, for the spreadsheet.
class CertificateMirrorReport
{
public:
    static QString title(); // "Espelho dos Certificados com Log de Evento"

    // The title, user and selection line, without bands.
    static BandedReport header(const CertificateFilter &filter, const QString &userName);
    // Adds the mirror of the selected certificates to report, from the
    // offset-th (0 the first) and at most limit of them (all when limit < 0);
    // returns how many. Raises DbError.
    static int write(Database &db, const CertificateFilter &filter, bool withLog, BandedReport &report, int offset = 0,
                     int limit = -1);

    // Raises DbError.
    static BandedReport build(Database &db, const CertificateFilter &filter, bool withLog, const QString &userName);
    // Paints the report into path as it is read. Raises DbError (nothing is
    // then left at path).
    static bool exportPdf(Database &db, const CertificateFilter &filter, bool withLog, const QString &userName,
                          const QString &path, QString *why = nullptr);
};

// The mirror for the print preview, in blocks of blockSize certificates.
class CertificateMirrorPages : public PagedReport
{
public:
    // Counts the selection. Raises DbError.
    CertificateMirrorPages(Database &db, const CertificateFilter &filter, bool withLog, const QString &userName,
                           int blockSize = 100);

    int certificateCount() const { return m_count; }
    QString title() const override { return CertificateMirrorReport::title(); }
    int blockCount() const override;
    // "Certificados 101 a 200 de 1.000"
    QString blockLabel(int block) const override;
    int renderBlock(int block, QPagedPaintDevice &device, int firstPage) override;
    int render(QPagedPaintDevice &device) override;
    bool exportPdf(const QString &path, QString *why = nullptr) override;

private:
    Database &m_db;
    CertificateFilter m_filter;
    bool m_withLog;
    QString m_userName;
    int m_blockSize;
    int m_count = 0;
};
