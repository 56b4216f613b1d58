#pragma once
// A large register for the benchmarks: a number of certificates, each with
// its events, company link, product type and product, normative document
// and events (about ten rows per certificate), a company shared by every
// hundred certificates, all approved. Made by the engine itself, one
// statement per table.
#include "db/database.h"
#include "db/schema.h"

#include <QString>
#include <QStringList>

namespace LargeRegister {

// The value of a column for certificate i (k numbers the rows of one certificate).
inline QString expression(const Schema::Field &f, const QString &table)
{
    const QString n = f.name.toLower();
    if (n == QLatin1String("siglacertificador"))
        return QStringLiteral("'OCB'");
    if (n == QLatin1String("numcertif"))
        return QStringLiteral("'C' || i");
    if (n == QLatin1String("codigopais"))
        return QStringLiteral("'BR'");
    if (n == QLatin1String("idempresa"))
        return table == QLatin1String("EMPRESA") ? QStringLiteral("'E' || (i / 100)")
                                                 : QStringLiteral("'E' || (i % 1000)");
    if (n == QLatin1String("marcaprod"))
        return QStringLiteral("'Marca ' || i");
    if (n == QLatin1String("modeloprod"))
        return QStringLiteral("'Modelo'");
    if (n == QLatin1String("importado"))
        return QStringLiteral("0");
    if (n == QLatin1String("seqevento"))
        return QStringLiteral("k");
    if (n == QLatin1String("idclassecertif"))
        return QStringLiteral("'CC'");
    if (n == QLatin1String("idclasseprod") || n == QLatin1String("iddocnorm"))
        return QStringLiteral("1");
    switch (f.type) {
    case Schema::FieldType::Text:
        return QStringLiteral("substr('%1 ' || i || ' texto de teste', 1, %2)").arg(table).arg(qMin(f.size, 24));
    case Schema::FieldType::DateTime: return QStringLiteral("'2024-05-01T12:30:00.000'");
    case Schema::FieldType::Boolean: return QStringLiteral("1");
    default: return QStringLiteral("i % 30000");
    }
}

inline void populate(Database &db, int certificates)
{
    struct Plan
    {
        const char *table;
        int perCertificate;
        int modulo; // rows only for i % modulo == 0 (shared companies)
    };
    const Plan plan[] = {{"CERTIFIC", 1, 1},   {"STATUS_C", 2, 1}, {"EMP_CERT", 1, 1}, {"EVENTO_EMP", 1, 1},
                         {"TIPO", 1, 1},       {"STATUS_T", 1, 1}, {"PRODUTO", 1, 1},  {"DOC_NORM_TIPO", 1, 1},
                         {"STATUS_DNT", 1, 1}, {"EMPRESA", 1, 100}};
    Transaction t(db);
    for (const Plan &p : plan) {
        const Schema::Table *table = Schema::table(QLatin1String(p.table));
        QStringList cols, values;
        for (const Schema::Field &f : table->fields) {
            cols << QLatin1Char('"') + f.name + QLatin1Char('"');
            values << expression(f, table->name);
        }
        db.execute(QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM c WHERE i + 1 < %1), "
                                  "s(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM s WHERE k < %2) "
                                  "INSERT INTO \"%3\" (%4) SELECT %5 FROM c, s WHERE i % %6 = 0")
                       .arg(certificates)
                       .arg(p.perCertificate)
                       .arg(table->name, cols.join(QLatin1Char(',')), values.join(QLatin1Char(',')))
                       .arg(p.modulo));
    }
    db.execute(QStringLiteral("UPDATE USU_LOCAL SET SiglaCertificador = 'OCB'"));
    t.commit();
}

}
