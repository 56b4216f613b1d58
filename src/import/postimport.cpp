#include "import/postimport.h"

#include "base/safefile.h"
#include "db/database.h"
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlRecord>
#include <QTextStream>

namespace PostImport {

void appendLog(const QString &dir, const QString &fileName, const QStringList &lines)
{
    QString path = findLog(dir, fileName);
    if (path.isEmpty())
        path = QDir(dir).filePath(fileName);
    QFile f(path);
    if (!SafeFile::openForAppend(f, QIODevice::Text))
        return; // a log that cannot be written must not stop the import
    QTextStream out(&f);
    for (const QString &line : lines)
        out << line << '\n';
}

QString findLog(const QString &dir, const QString &fileName)
{
    QDir d(dir);
    if (d.exists(fileName))
        return d.filePath(fileName);
    const QStringList entries = d.entryList(QDir::Files | QDir::Hidden);
    for (const QString &e : entries)
        if (e.compare(fileName, Qt::CaseInsensitive) == 0)
            return d.filePath(e);
    return QString();
}

namespace {

// A column as the table declares it: the server answers unquoted names in
// lower case.
QString declaredName(const Schema::Table *table, const QString &column)
{
    const Schema::Field *f = table ? table->field(column) : nullptr;
    return f ? f->name : column;
}

bool hasValue(const QVariant &v)
{
    return !v.isNull() && !v.toString().isEmpty();
}

bool isAuditColumn(const QString &name)
{
    return name.compare(QLatin1String("DthUltAtualiz"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("UsuResp"), Qt::CaseInsensitive) == 0;
}

// The test of completeness, given the test that a table holds a row of the
// certificate.
QString completeness(const std::function<QString(const QString &)> &hasRow)
{
    QStringList items, docs;
    for (const char *t : {"lote", "tipo", "unidade", "servico"})
        items << hasRow(QLatin1String(t));
    for (const char *t : {"doc_norm_cert_produto", "doc_norm_cert_servico", "doc_norm_lote", "doc_norm_tipo",
                          "doc_norm_unidade", "doc_norm_serv"})
        docs << hasRow(QLatin1String(t));
    return hasRow(QStringLiteral("emp_cert")) + QStringLiteral("\n and (") + items.join(QStringLiteral("\n or ")) +
        QStringLiteral(")\n and (") + docs.join(QStringLiteral("\n or ")) + QLatin1Char(')');
}

// The same test as written for the database the system came from (one
// correlated EXISTS per table), stated with row-value IN lists so that it
// stays linear whatever indexes the item tables carry.
QString completeCondition(const QString &c)
{
    return completeness([&](const QString &table) {
        return QStringLiteral("(%1.SiglaCertificador, %1.NumCertif) in (select siglacertificador, numcertif from %2)")
            .arg(c, table);
    });
}

// The same test for a row already chosen by its key: correlated lookups
// that each use the key index of the item table.
QString keyedCompleteCondition(const QString &c)
{
    return completeness([&](const QString &table) {
        return QStringLiteral("exists (select 1 from %2 x where x.SiglaCertificador = %1.SiglaCertificador "
                              "and x.NumCertif = %1.NumCertif)")
            .arg(c, table);
    });
}

}

bool checkPairing(Database &db, const QString &logDir)
{
    QSqlQuery q = db.exec(QStringLiteral("select * from Ctr_Historico where historico = :p1"),
                          QVariantMap{{QStringLiteral("p1"), QStringLiteral("0")}});
    const Schema::Table *history = Schema::table(QStringLiteral("CTR_HISTORICO"));
    QStringList lines;
    while (q.next()) {
        if (lines.isEmpty())
            lines << QStringLiteral("Foram identificadas atualizações para os registros abaixo sem a justificativa "
                                    "na tabela de histórico correspondente !")
                  << QString();
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i) {
            if (isAuditColumn(rec.fieldName(i)) || !hasValue(rec.value(i)))
                continue;
            lines << declaredName(history, rec.fieldName(i)) + QStringLiteral(": ") + rec.value(i).toString();
        }
        lines << QString();
    }
    if (!lines.isEmpty()) {
        appendLog(logDir, LogBdFileName, lines);
        return false;
    }
    try {
        db.execute(QStringLiteral("delete from Ctr_Historico"));
    } catch (...) {
        // emptying the scratch table is housekeeping only
    }
    return true;
}

bool checkCompanyRoles(Database &db, const QString &logDir)
{
    const QString sql = QStringLiteral(
        "select 'LOTE' as \"Nome_da_Tabela\", l.numCertif as \"numCertif\", l.marcaprod, l.modeloprod, "
        "l.codigopais, l.idempresa, l.siglacertificador from lote l\n"
        "where not exists (select e.siglacertificador, e.numcertif, e.codigopais, e.idempresa  from emp_cert e\n"
        "where l.siglacertificador = e.siglacertificador and l.numcertif = e.numcertif and l.codigopais = e.codigopais "
        "and l.idempresa = e.idempresa)\n"
        "union\n"
        "select 'TIPO' as Nome_da_Tabela, t.numCertif, t.marcaprod, t.modeloprod, t.codigopais, t.idempresa, "
        "t.siglacertificador from tipo t\n"
        "where not exists (select e.siglacertificador, e.numcertif, e.codigopais, e.idempresa from emp_cert e\n"
        "where t.siglacertificador = e.siglacertificador and t.numcertif = e.numcertif and t.codigopais = e.codigopais "
        "and t.idempresa = e.idempresa)\n"
        "union\n"
        "select 'UNIDADE' as Nome_da_Tabela, u.numCertif, u.marcaprod, u.modeloprod, u.codigopais, u.idempresa, "
        "u.siglacertificador from unidade u\n"
        "where not exists (select e.siglacertificador, e.numcertif, e.codigopais, e.idempresa from emp_cert e\n"
        "where u.siglacertificador = e.siglacertificador and u.numcertif = e.numcertif and u.codigopais = e.codigopais "
        "and u.idempresa = e.idempresa)");
    QSqlQuery q = db.exec(sql);
    QStringList lines;
    while (q.next()) {
        if (lines.isEmpty())
            lines << QStringLiteral("Foram identificadas empresas informadas nas tabelas TIPO, LOTE ou UNIDADE, que "
                                    "não estão na tabela EMP_CERT  !")
                  << QString();
        const QSqlRecord rec = q.record();
        for (int i = 0; i + 1 < rec.count(); ++i) {
            if (hasValue(rec.value(i)))
                lines << rec.fieldName(i) + QStringLiteral(": ") + rec.value(i).toString();
        }
        lines << QString(61, QLatin1Char('-'));
    }
    if (lines.isEmpty())
        return true;
    appendLog(logDir, LogBdFileName, lines);
    return false;
}

QStringList completeCertificates(Database &db)
{
    QSqlQuery q = db.exec(
        QStringLiteral("select distinct C.SiglaCertificador, C.Numcertif from Certific as C where\n") +
        completeCondition(QStringLiteral("C")));
    QStringList out;
    while (q.next())
        out << q.value(0).toString() + QLatin1Char('|') + q.value(1).toString();
    return out;
}

int markCompleteCertificates(Database &db, const QList<CertificateKey> &certificates,
                             const std::function<void(int, int)> &progress)
{
    const int total = int(certificates.size());
    if (progress)
        progress(0, total);
    // One certificate at a time, each test an indexed lookup by its key.
    const QString sql = QStringLiteral("update certific set completo = ?, Aprovado = ?\n"
                                       "where SiglaCertificador = ? and NumCertif = ? and\n") +
        keyedCompleteCondition(QStringLiteral("certific"));
    // Prepared once for the whole list: parsing the ten-table test again for
    // every certificate cost more than running it.
    Database::Statement &update = db.statement(sql);
    // Counted as the answers come: on a server the updates are not waited
    // for one by one.
    const auto marked = std::make_shared<int>(0);
    struct Counting
    {
        Database::Statement &update;
        ~Counting() { update.countChanges(nullptr); }
    } counting{update};
    update.countChanges(marked);
    for (const CertificateKey &key : certificates) {
        update.exec({1, 1, key.sigla, key.numero});
        update.reset();
    }
    db.waitForWrites();
    if (progress)
        progress(total, total);
    return *marked;
}

}
