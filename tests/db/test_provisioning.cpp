// A new database: the whole schema, the administrator, the refusals, and the
// demo data keeping the rules the maintenance window keeps.
#include "base/taxid.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/registerlocation.h"
#include "db/schema.h"
#include "support/testhome.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct ItemKind
{
    const char *item, *events, *itemStatus, *eventStatus, *origin, *entry;
};
// entry: the item's own entry moment column (null for the certificate).
const ItemKind kinds[] = {
    {"CERTIFIC", "STATUS_C", "StatusCertificado", "StatusCertificado", "2", "DataEmissao"},
    {"EMP_CERT", "EVENTO_EMP", "StatusEmpresa", "StatusEmpresa", "2", "DthEntEmpresa"},
    {"TIPO", "STATUS_T", "StatusProduto", "StatusProduto", "2", "DthEntCertif"},
    {"LOTE", "STATUS_L", "StatusLote", "Status_L", "2", "DthEntCertif"},
    {"UNIDADE", "STATUS_U", "StatusUnidade", "StatusUnidade", "2", "DthEntCertif"},
    {"SERVICO", "STATUS_S", "StatusServico", "Status_S", "2", "DthEntCertif"},
    {"DOC_NORM_CERT_PRODUTO", "STATUS_DNCP", "Status_DNCP", "Status_DNCP", "02", "DthEntDNCP"},
    {"DOC_NORM_CERT_SERVICO", "STATUS_DNCS", "Status_DNCS", "Status_DNCS", "02", "DthEntDNCS"},
    {"DOC_NORM_TIPO", "STATUS_DNT", "Status_DNT", "Status_DNT", "02", "DthEntDNT"},
    {"DOC_NORM_LOTE", "STATUS_DNL", "Status_DNL", "Status_DNL", "02", "DthEntDNL"},
    {"DOC_NORM_UNIDADE", "STATUS_DNU", "Status_DNU", "Status_DNU", "02", "DthEntDNU"},
    {"DOC_NORM_SERV", "STATUS_DNS", "Status_DNS", "Status_DNS", "02", "DthEntDNS"},
};

// "e.K1 = i.K1 AND ..." over the item key of an event table.
QString joinOnItemKey(const char *eventTable)
{
    QStringList parts;
    for (const QString &k : Schema::table(QLatin1String(eventTable))->key)
        if (k != QLatin1String("SeqEvento"))
            parts << QStringLiteral("e.%1 = i.%1").arg(k);
    return parts.join(QStringLiteral(" AND "));
}

QString joinOnCertificate(const QString &alias = QStringLiteral("i"))
{
    return QStringLiteral("c.SiglaCertificador = %1.SiglaCertificador AND c.NumCertif = %1.NumCertif").arg(alias);
}

}

class TestProvisioning : public QObject
{
    Q_OBJECT

private:
    int scalarInt(Database &db, const QString &sql, const QVariantList &params = {})
    {
        return db.scalar(sql, params).toInt();
    }

private slots:
    void everyTableWithItsColumnsAndKeys()
    {
        TestHome home;
        Database db(QStringLiteral("prov-schema"));
        RegisterLocation::open(db);
        QCOMPARE(db.tables().size(), Schema::tables().size());
        for (const Schema::Table &t : Schema::tables()) {
            QVERIFY2(db.tableExists(t.name), qPrintable(t.name));
            QSqlQuery q = db.onServer()
                ? db.exec(
                      QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), "
                                     "array_position(i.indkey::int2[], a.attnum) + 1 FROM pg_catalog.pg_attribute a "
                                     "LEFT JOIN pg_catalog.pg_index i ON i.indrelid = a.attrelid AND i.indisprimary "
                                     "WHERE a.attrelid = lower(?)::regclass AND a.attnum > 0 AND NOT a.attisdropped "
                                     "ORDER BY a.attnum"),
                      {t.name})
                : db.exec(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid"), {t.name});
            QStringList names, types, expectedNames, expectedTypes;
            QMap<int, QString> key;
            while (q.next()) {
                names << q.value(0).toString();
                types << q.value(1).toString();
                if (q.value(2).toInt() > 0)
                    key.insert(q.value(2).toInt(), q.value(0).toString());
            }
            for (const Schema::Field &f : t.fields) {
                expectedNames << (db.onServer() ? f.name.toLower() : f.name);
                expectedTypes << Schema::columnType(t, f, db.engine());
            }
            QCOMPARE(names, expectedNames);
            QCOMPARE(types, expectedTypes);
            QStringList keyCols = key.values(), expectedKey;
            for (const QString &k : t.key)
                expectedKey << (db.onServer() ? t.field(k)->name.toLower() : t.field(k)->name);
            QVERIFY2(keyCols == expectedKey, qPrintable(t.name + QLatin1String(": ") + keyCols.join(QLatin1Char(','))));
        }
        // Nothing but the administrator: no configuration, no certificates.
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT count(*) FROM CONFIG_LOCAL")), 0);
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT count(*) FROM CERTIFIC")), 0);
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT count(*) FROM UF")), 0);
    }

    void administratorRow()
    {
        TestHome home(false, QStringLiteral("  admin "));
        Database db(QStringLiteral("prov-admin"));
        RegisterLocation::open(db);
        QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM USU_LOCAL"));
        QVERIFY(q.next());
        QCOMPARE(q.value(QStringLiteral("SiglaUsu")).toString(), QStringLiteral("admin"));
        QCOMPARE(q.value(QStringLiteral("NomeUsu")).toString(), QStringLiteral("Administrador"));
        // "admin" through (c - 3i + 10) mod 256, the blanks trimmed away.
        QCOMPARE(q.value(QStringLiteral("SenhaUsu")).toString(), QStringLiteral("kkqjl"));
        QCOMPARE(q.value(QStringLiteral("SiglaCertificador")).toString(), QString());
        for (const char *right : {"AcConfigOCC", "AcConfigDir", "AcCadastraUsu", "AcManBase", "AcContRemessas",
                                  "AcAtualTabAux", "AcAprovCertific"})
            QCOMPARE(q.value(QLatin1String(right)).toInt(), 1);
        QVERIFY(!q.next());
    }

    void refusals()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db/bdocc.mdb"));
        auto create = [&](const QString &pw, bool demo = false, const QString &programDir = QString()) {
            Provisioning::Options o;
            o.adminPassword = pw;
            o.demo = demo;
            o.programDir = programDir;
            Provisioning::createDatabase(path, o);
        };
        for (const QString &pw :
             {QString(), QStringLiteral("   "), QStringLiteral("12345678901"), QStringLiteral("senha€ção☃")}) {
            QVERIFY_THROWS_EXCEPTION(AppError, create(pw));
            QVERIFY2(!QFile::exists(path), qPrintable(pw));
        }
        // The demo folders cannot be made under a plain file: nothing is left behind.
        QFile blocker(dir.filePath(QStringLiteral("arquivo")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY_THROWS_EXCEPTION(AppError, create(QStringLiteral("admin"), true, blocker.fileName()));
        QVERIFY(!QFile::exists(path));

        create(QStringLiteral("1234567890")); // ten characters are fine
        const QByteArray before = [&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        try {
            create(QStringLiteral("outra"));
            QFAIL("an existing database was overwritten");
        } catch (const AppError &e) {
            QVERIFY(e.message().contains(QStringLiteral("já existe")));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void demoReferenceAndConfiguration()
    {
        TestHome home(true);
        Database db(QStringLiteral("prov-demo-ref"));
        RegisterLocation::open(db);
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT count(*) FROM UF")), 27);
        QCOMPARE(db.scalar(QStringLiteral("SELECT NomePais FROM PAIS WHERE CodigoPais = 'BR'")).toString(),
                 QStringLiteral("Brasil"));
        QVERIFY(scalarInt(db, QStringLiteral("SELECT count(*) FROM PAPEL_EMP")) >= 3);
        for (const char *t : {"CLASSE_P", "CLASSE_S", "CLASSE_C", "TIPO_DOC", "DOC_NORMATIVOS", "DOC_NORMATIVOS_SERV",
                              "CREDENCIAMENTO", "CREDENCIAMENTO_SERV"})
            QVERIFY2(scalarInt(db, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t))) > 0, t);
        QCOMPARE(
            scalarInt(
                db, QStringLiteral("SELECT count(*) FROM DOC_NORMATIVOS WHERE StatusDoc <> 'A' OR StatusDoc IS NULL")),
            0);
        QCOMPARE(scalarInt(db,
                           QStringLiteral(
                               "SELECT count(*) FROM DOC_NORMATIVOS_SERV WHERE StatusDoc <> 'A' OR StatusDoc IS NULL")),
                 0);

        QSqlQuery c = db.exec(QStringLiteral("SELECT * FROM CONFIG_LOCAL"));
        QVERIFY(c.next());
        QCOMPARE(c.value(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("OCDEMO"));
        QCOMPARE(c.value(QStringLiteral("NomeOCC")).toString(),
                 QStringLiteral("Organismo de Certificação Demonstração"));
        for (const char *col : {"DirLocalSincr", "DirLocalTransf", "DirLocalRecepAux"}) {
            const QString folder = c.value(QLatin1String(col)).toString();
            QVERIFY2(folder.startsWith(home.dir() + QLatin1Char('/')) && folder.endsWith(QLatin1Char('/')),
                     qPrintable(folder));
            QVERIFY2(QDir(folder).exists(), qPrintable(folder));
        }
        QVERIFY(c.value(QStringLiteral("EndQueloraEnvio")).toString().startsWith(QLatin1String("localhost/")));
        QVERIFY(!c.next());
        QCOMPARE(
            db.scalar(QStringLiteral("SELECT SiglaCertificador FROM USU_LOCAL WHERE SiglaUsu = 'admin'")).toString(),
            QStringLiteral("OCDEMO"));
        QCOMPARE(
            scalarInt(db,
                      QStringLiteral(
                          "SELECT count(*) FROM SIGNATARIOS WHERE SiglaCertificador = 'OCDEMO' AND Default_s = 'S'")),
            1);

        // The lists of the maintenance window, filtered by the configured
        // certifier, offer the classes the demo certificates use.
        const QString prodClasses = QStringLiteral(
            "SELECT  P.IdClasseProd, P.ClasseSup, P.NomClasseProd, P.UnMedida FROM Classe_P P , Config_Local C, "
            "Credenciamento CC WHERE P.IdClasseProd = CC.IdClasseProd AND C.SiglaCertificador = CC.SiglaCertificador "
            "Order By P.IdClasseProd");
        const QString certClasses = QStringLiteral(
            "SELECT DISTINCT CL.IDCLASSECERTIF, CL.NOMCLASSECERTIF FROM CLASSE_C CL , CONFIG_LOCAL C, CREDENCIAMENTO "
            "CC , "
            "CREDENCIAMENTO_SERV CS WHERE ((CL.IDCLASSECERTIF = CC.IDCLASSECERTIF) OR (CL.IDCLASSECERTIF = "
            "CS.IDCLASSECERTIF)) "
            "AND C.SIGLACERTIFICADOR = CC.SIGLACERTIFICADOR ORDER BY CL.NOMCLASSECERTIF");
        QCOMPARE(scalarInt(
                     db,
                     QStringLiteral(
                         "SELECT count(*) FROM CERTIFIC WHERE IdClasseProd NOT IN (SELECT IdClasseProd FROM (%1) AS q)")
                         .arg(prodClasses)),
                 0);
        QCOMPARE(
            scalarInt(
                db,
                QStringLiteral(
                    "SELECT count(*) FROM CERTIFIC WHERE IdClasseCertif NOT IN (SELECT IDCLASSECERTIF FROM (%1) AS q)")
                    .arg(certClasses)),
            0);
    }

    void demoCertificatesKeepTheRules()
    {
        TestHome home(true);
        Database db(QStringLiteral("prov-demo-cert"));
        RegisterLocation::open(db);
        const QVariantList now{QDateTime::currentDateTime()};

        QStringList statuses;
        for (QSqlQuery q = db.exec(QStringLiteral("SELECT DISTINCT StatusCertificado FROM CERTIFIC ORDER BY 1"));
             q.next();)
            statuses << q.value(0).toString();
        QCOMPARE(statuses, (QStringList{"A", "C", "S"}));
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT count(*) FROM CERTIFIC WHERE SiglaCertificador <> 'OCDEMO'")), 0);

        for (const ItemKind &k : kinds) {
            const QString item = QLatin1String(k.item), ev = QLatin1String(k.events), on = joinOnItemKey(k.events);
            QVERIFY2(scalarInt(db, QStringLiteral("SELECT count(*) FROM %1").arg(item)) > 0, k.item);
            // Every item has its inclusion event, written by the system.
            QCOMPARE(scalarInt(db,
                               QStringLiteral("SELECT count(*) FROM %1 i WHERE NOT EXISTS (SELECT 1 FROM %2 e WHERE %3 "
                                              "AND e.Evento = 'INC' AND e.HistoricoSis = ?)")
                                   .arg(item, ev, on),
                               {QLatin1String(k.origin)}),
                     0);
            // Every event belongs to an item; numbers are 1..n across the table.
            QCOMPARE(
                scalarInt(db,
                          QStringLiteral("SELECT count(*) FROM %2 e WHERE NOT EXISTS (SELECT 1 FROM %1 i WHERE %3)")
                              .arg(item, ev, on)),
                0);
            QCOMPARE(
                db.scalar(
                      QStringLiteral(
                          "SELECT count(DISTINCT SeqEvento) || '/' || max(SeqEvento) || '/' || min(SeqEvento) FROM %1")
                          .arg(ev))
                    .toString(),
                QStringLiteral("%1/%1/1").arg(scalarInt(db, QStringLiteral("SELECT count(*) FROM %1").arg(ev))));
            // The item's status is the one its newest event left.
            QCOMPARE(
                scalarInt(db,
                          QStringLiteral(
                              "SELECT count(*) FROM %1 i WHERE i.%4 IS DISTINCT FROM (SELECT e.%5 FROM %2 e WHERE %3 "
                              "ORDER BY e.SeqEvento DESC LIMIT 1)")
                              .arg(item, ev, on, QLatin1String(k.itemStatus), QLatin1String(k.eventStatus))),
                0);
            // Events are not in the future and not before the item entered or the certificate was issued.
            QCOMPARE(
                scalarInt(db,
                          QStringLiteral("SELECT count(*) FROM %2 e JOIN %1 i ON %3 JOIN CERTIFIC c ON %4 "
                                         "WHERE e.DthUltAtualiz > ? OR e.DthUltAtualiz < i.%5 OR i.%5 < c.DataEmissao")
                              .arg(item, ev, on, joinOnCertificate(), QLatin1String(k.entry)),
                          now),
                0);
            // Rows of the certification tables belong to a certificate.
            QCOMPARE(scalarInt(db,
                               QStringLiteral(
                                   "SELECT count(*) FROM %1 i WHERE NOT EXISTS (SELECT 1 FROM CERTIFIC c WHERE %2)")
                                   .arg(item, joinOnCertificate())),
                     0);
        }
        QCOMPARE(scalarInt(db,
                           QStringLiteral("SELECT count(*) FROM CERTIFIC WHERE DataValid <= DataEmissao "
                                          "OR DthStatusCertificado < DataEmissao OR DthStatusCertificado > ?"),
                           now),
                 0);

        // Companies and products named by the items exist; an item's company is one of its certificate's.
        QCOMPARE(scalarInt(db,
                           QStringLiteral("SELECT count(*) FROM EMP_CERT i WHERE NOT EXISTS (SELECT 1 FROM EMPRESA e "
                                          "WHERE e.CodigoPais = i.CodigoPais AND e.IdEmpresa = i.IdEmpresa)")),
                 0);
        for (const char *t : {"TIPO", "LOTE", "UNIDADE", "SERVICO"}) {
            QCOMPARE(scalarInt(
                         db,
                         QStringLiteral("SELECT count(*) FROM %1 i WHERE NOT EXISTS (SELECT 1 FROM EMP_CERT e "
                                        "WHERE e.SiglaCertificador = i.SiglaCertificador AND e.NumCertif = i.NumCertif "
                                        "AND e.CodigoPais = i.CodigoPais AND e.IdEmpresa = i.IdEmpresa)")
                             .arg(QLatin1String(t))),
                     0);
        }
        for (const char *t : {"TIPO", "LOTE", "UNIDADE"})
            QCOMPARE(scalarInt(db,
                               QStringLiteral("SELECT count(*) FROM %1 i WHERE NOT EXISTS (SELECT 1 FROM PRODUTO p "
                                              "WHERE p.MarcaProd = i.MarcaProd AND p.ModeloProd = i.ModeloProd "
                                              "AND p.Importado = i.Importado)")
                                   .arg(QLatin1String(t))),
                     0);

        // Normative documents attached are documents of the certificate's classes.
        QCOMPARE(
            scalarInt(db,
                      QStringLiteral(
                          "SELECT count(*) FROM DOC_NORM_CERT_PRODUTO i JOIN CERTIFIC c ON %1 "
                          "WHERE i.IdClasseCertif <> c.IdClasseCertif OR i.IdClasseProd <> c.IdClasseProd "
                          "OR NOT EXISTS (SELECT 1 FROM DOC_NORMATIVOS d WHERE d.IdClasseCertif = i.IdClasseCertif "
                          "AND d.IdClasseProd = i.IdClasseProd AND d.IdDocNorm = i.IdDocNorm)")
                          .arg(joinOnCertificate())),
            0);
        QCOMPARE(
            scalarInt(
                db,
                QStringLiteral(
                    "SELECT count(*) FROM DOC_NORM_SERV i WHERE NOT EXISTS (SELECT 1 FROM DOC_NORMATIVOS_SERV d "
                    "WHERE d.IdClasseCertif = i.IdClasseCertif AND d.IdClasseServ = i.IdClasseServ "
                    "AND d.IdDocNorm = i.IdDocNorm) OR NOT EXISTS (SELECT 1 FROM SERVICO s WHERE "
                    "s.SiglaCertificador = i.SiglaCertificador AND s.NumCertif = i.NumCertif AND "
                    "s.IdClasseServ = i.IdClasseServ AND s.CodigoPais = i.CodigoPais AND s.IdEmpresa = i.IdEmpresa)")),
            0);

        // Complete: a company, an item and a normative document. Approved:
        // complete, and nothing happened to it after its last approval.
        const QString hasCompany =
            QStringLiteral("EXISTS (SELECT 1 FROM EMP_CERT i WHERE %1)").arg(joinOnCertificate());
        const QString hasItem =
            QStringLiteral("(EXISTS (SELECT 1 FROM TIPO i WHERE %1) OR EXISTS (SELECT 1 FROM LOTE i WHERE %1) "
                           "OR EXISTS (SELECT 1 FROM UNIDADE i WHERE %1) OR EXISTS (SELECT 1 FROM SERVICO i WHERE %1))")
                .arg(joinOnCertificate());
        const QString hasDoc = QStringLiteral("(EXISTS (SELECT 1 FROM DOC_NORM_CERT_PRODUTO i WHERE %1) "
                                              "OR EXISTS (SELECT 1 FROM DOC_NORM_CERT_SERVICO i WHERE %1))")
                                   .arg(joinOnCertificate());
        QCOMPARE(scalarInt(db,
                           QStringLiteral("SELECT count(*) FROM CERTIFIC c WHERE (Completo = 1) <> (%1 AND %2 AND %3)")
                               .arg(hasCompany, hasItem, hasDoc)),
                 0);
        QCOMPARE(
            scalarInt(
                db,
                QStringLiteral("SELECT count(*) FROM CERTIFIC c WHERE Aprovado = 1 AND (Completo = 0 OR "
                               "(SELECT e.Evento FROM STATUS_C e WHERE %1 ORDER BY SeqEvento DESC LIMIT 1) <> 'APR')")
                    .arg(QStringLiteral("e.SiglaCertificador = c.SiglaCertificador AND e.NumCertif = c.NumCertif"))),
            0);
        for (const char *cond : {"Completo = 1 AND Aprovado = 1", "Completo = 1 AND Aprovado = 0", "Completo = 0"})
            QVERIFY2(scalarInt(db, QStringLiteral("SELECT count(*) FROM CERTIFIC WHERE %1").arg(QLatin1String(cond))) >
                         0,
                     cond);

        // Company identifiers: CNPJ digits, CPF digits, or a foreign legal name.
        QSqlQuery q = db.exec(
            QStringLiteral("SELECT CodigoPais, IdEmpresa, CGC, TipoPessoa, CPF, RazSocialEmp FROM EMPRESA"));
        int people = 0, foreign = 0, legal = 0;
        while (q.next()) {
            const QString id = q.value(1).toString();
            if (q.value(0).toString() != QLatin1String("BR")) {
                QCOMPARE(id, q.value(5).toString());
                ++foreign;
            } else if (q.value(3).toString() == QLatin1String("2")) {
                QVERIFY2(TaxId::cpfCheck(q.value(4).toString()) && id == q.value(4).toString(), qPrintable(id));
                ++people;
            } else {
                QCOMPARE(q.value(3).toString(), QStringLiteral("1"));
                QVERIFY2(TaxId::cnpjCheck(q.value(2).toString(), nullptr) && id == q.value(2).toString() &&
                             id.size() == 14,
                         qPrintable(id));
                ++legal;
            }
        }
        QVERIFY(people > 0 && foreign > 0 && legal > 0);
    }
};

QTEST_GUILESS_MAIN(TestProvisioning)
#include "test_provisioning.moc"
