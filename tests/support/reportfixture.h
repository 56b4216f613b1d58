#pragma once
// Certificates written straight into the tables, over the demo database's
// reference data (classes, countries, roles, documents, certifier OCDEMO),
// and the PDF tools the report tests read the output with.
#include "db/database.h"
#include "maintenance/demodata.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QVariantMap>

namespace ReportFixture {

inline QDateTime at(int y, int m, int d, int h = 9, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

class Writer
{
public:
    explicit Writer(Database &db, const QString &certifier = QStringLiteral("OCDEMO"))
        : m_w(db, QStringLiteral("ana"))
    {
        m_w.setCertifier(certifier);
    }
    DemoData::Writer &raw() { return m_w; }
    QString certifier() const { return m_w.certifier(); }

    QVariantMap key(const QString &num) const
    {
        return {{QStringLiteral("SiglaCertificador"), m_w.certifier()}, {QStringLiteral("NumCertif"), num}};
    }
    QVariantMap with(const QString &num, const QVariantMap &more) const
    {
        QVariantMap m = key(num);
        m.insert(more);
        return m;
    }

    void certificate(const QString &num, bool complete, const QDateTime &issue, const QString &certClass = "COMP",
                     int prodClass = 101)
    {
        m_w.addItem(QStringLiteral("CERTIFIC"),
                    with(num,
                         {{"IdClasseCertif", certClass},
                          {"IdClasseProd", prodClass},
                          {"DataEmissao", issue},
                          {"DataValid", issue.addYears(3)},
                          {"LabEnsaio", "Laboratório Ômega"},
                          {"NumRelEnsaio", "RE-" + num},
                          {"Signatarios", "Eng. Paulo Reis"},
                          {"Completo", complete}}),
                    issue);
    }
    // An EMPRESA row; `rest` holds every column but the key.
    QVariantMap company(const QString &country, const QString &id, QVariantMap rest)
    {
        rest.insert(QStringLiteral("CodigoPais"), country);
        rest.insert(QStringLiteral("IdEmpresa"), id);
        m_w.insert(QStringLiteral("EMPRESA"), rest);
        return {{QStringLiteral("CodigoPais"), country}, {QStringLiteral("IdEmpresa"), id}};
    }
    void link(const QString &num, const QVariantMap &company, int role, const QDateTime &entry)
    {
        QVariantMap v = with(num, company);
        v.insert(QStringLiteral("IdPapelEmp"), role);
        v.insert(QStringLiteral("DthEntEmpresa"), entry);
        m_w.addItem(QStringLiteral("EMP_CERT"), v, entry);
    }
    // TIPO, LOTE or UNIDADE of `supplier`; `extra` holds the lot or serial number and the rest.
    void product(const QString &table, const QString &num, const QString &brand, const QString &model, int imported,
                 const QVariantMap &supplier, const QVariantMap &extra, const QDateTime &entry)
    {
        QVariantMap v = with(num, extra);
        v.insert(supplier);
        v.insert(QStringLiteral("MarcaProd"), brand);
        v.insert(QStringLiteral("ModeloProd"), model);
        v.insert(QStringLiteral("Importado"), imported);
        v.insert(QStringLiteral("DthEntCertif"), entry);
        m_w.addItem(table, v, entry);
    }
    void service(const QString &num, int servClass, const QVariantMap &provider, const QString &notes,
                 const QDateTime &entry)
    {
        QVariantMap v = with(num, provider);
        v.insert(QStringLiteral("IdClasseServ"), servClass);
        v.insert(QStringLiteral("DthEntCertif"), entry);
        v.insert(QStringLiteral("Observacoes"), notes);
        m_w.addItem(QStringLiteral("SERVICO"), v, entry);
    }
    // The certificate's general document `doc` of class COMP/101.
    void generalDocument(const QString &num, int doc, const QDateTime &entry)
    {
        m_w.addItem(
            QStringLiteral("DOC_NORM_CERT_PRODUTO"),
            with(num, {{"IdClasseCertif", "COMP"}, {"IdClasseProd", 101}, {"IdDocNorm", doc}, {"DthEntDNCP", entry}}),
            entry);
    }

private:
    DemoData::Writer m_w;
};

inline QString runTool(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Text of the whole file, or of one page, with runs of blanks squeezed.
inline QString pdfText(const QString &pdf, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return runTool(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-")).simplified();
}

inline int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runTool(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

}
