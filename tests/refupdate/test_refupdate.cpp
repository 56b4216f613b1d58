#include "base/errorlog.h"
#include "db/database.h"
#include "refupdate/refinstall.h"
#include "refupdate/refupdaterun.h"
#include "refupdate/refversion.h"
#include "remessa/registerstep.h"
#include "shell/configlocal.h"
#include "support/refpackage.h"
#include "support/refupdatefixture.h"
#include "support/testdb.h"
#include "support/testhome.h"
#include "support/testservers.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <memory>

namespace {

const QString V1 = QStringLiteral("OC-TAB-2026010101.zip");
const QString V2 = QStringLiteral("OC-TAB-2026020101.zip");

struct Fixture : RefUpdateFixture
{
    Fixture()
        : RefUpdateFixture(QStringLiteral("refupdate-test"))
    { }
    QString nomePais(const QString &code) const
    {
        return db->scalar(QStringLiteral("select NomePais from PAIS where CodigoPais = ?"), {code}).toString();
    }
    int count(const QString &table) const
    {
        return db->scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }
    QString snapshot() const
    {
        QString out;
        for (const char *sql :
             {"select CodigoPais, NomePais, UsuResp from PAIS order by 1", "select SiglaUF, NomeUF from UF order by 1",
              "select NumeroVersao, NomeArquivo from CONTROLE_AUX order by DataHoraVersao, NumeroVersao, "
              "NomeArquivo"}) {
            QSqlQuery q = db->exec(QLatin1String(sql));
            while (q.next())
                for (int i = 0; i < q.record().count(); ++i)
                    out += q.value(i).toString() + QLatin1Char('|');
            out += QLatin1Char('\n');
        }
        return out;
    }
    bool leftoverTables() const { return !QDir(recep()).entryList({"*.DB", "*.PX", "*.VAL"}, QDir::Files).isEmpty(); }
};

}

class TestRefUpdate : public QObject
{
    Q_OBJECT

private slots:
    void versionOrder()
    {
        using namespace RefVersion;
        QCOMPARE(noVersionFile(), "OC-TAB-0000000000.zip");
        QVERIFY(isNewer(V1, noVersionFile()));
        QVERIFY(isPackageName("oc-tab-2026010101.zip"));
        QVERIFY(!isPackageName("OC-TAB-202601011.zip"));
        QVERIFY(!isPackageName("OC-TAB-20260101011.zip"));
        QVERIFY(!isNewer("OC-TAB-2026x10101.zip", noVersionFile()));
        QVERIFY(!isNewer(V1, V1));
        // Year, month, day, sequence, in that order.
        QVERIFY(isNewer("OC-TAB-2027010100.zip", "OC-TAB-2026121299.zip"));
        QVERIFY(isNewer("OC-TAB-2026020100.zip", "OC-TAB-2026013199.zip"));
        QVERIFY(isNewer("OC-TAB-2026010200.zip", "OC-TAB-2026010199.zip"));
        QVERIFY(isNewer("OC-TAB-2026010102.zip", "OC-TAB-2026010101.zip"));
        const QStringList listed{"oc-tab-2026010102.zip", "OC-TAB-2026010101.zip", "OC-TAB-2026010199.zipx",
                                 "OC-TAB-2025123199.zip", "OC-TAB-20260101.zip",   "readme.txt"};
        QCOMPARE(newest(listed, noVersionFile()), "oc-tab-2026010102.zip");
        QCOMPARE(newest(listed, "OC-TAB-2026010102.zip"), "OC-TAB-2026010102.zip");
        // Found by fuzzing: a name of the right length that is not a zip.
        QVERIFY(isPackageName("OC-TAB-2026010101.ZIP"));
        QVERIFY(!isPackageName("OC-TAB-2026010101.ziw"));
        QVERIFY(!isPackageName("OC-TAB-2026010101_zip"));
        QCOMPARE(newest({"OC-TAB-2026010101.zip", "OC-TAB-2026010109.txt"}, noVersionFile()), "OC-TAB-2026010101.zip");
    }

    // While another run installs, an installation waits, then refuses and
    // changes nothing; nothing is left unpacked in the reception folder.
    void oneInstallationAtATime()
    {
        Fixture f;
        QVERIFY(RefPackage::build(f.recep(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        {
            Database other(QStringLiteral("refupdate-other"));
            f.home->open(other);
            RegisterStep::Marker running(other, QStringLiteral("Atualização de tabelas"),
                                         RegisterStep::referenceTables());
            running.take();
            // Markers are per process: pretend the holder is another program.
            other.execute(QStringLiteral("update CONTROLE_ETAPA set Dono = 'outro', Processo = ?"),
                          {QCoreApplication::applicationPid() == 1 ? 2 : 1});
            QString detail;
            QVERIFY(!RefInstall::install(*f.db, f.recep(), V1, &detail));
            QVERIFY2(detail.contains(QStringLiteral("Outra operação (Atualização de tabelas)")), qPrintable(detail));
            QCOMPARE(f.count("PAIS"), 0);
            QCOMPARE(f.count("CONTROLE_AUX"), 0);
            other.execute(QStringLiteral("delete from CONTROLE_ETAPA"));
        }
        QString detail;
        QVERIFY2(RefInstall::install(*f.db, f.recep(), V1, &detail), qPrintable(detail));
        QCOMPARE(f.nomePais("BR"), "Brasil");
        QCOMPARE(QDir(f.recep()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{V1});
    }

    // Rows merge by field name: a local column the package lacks keeps its
    // value on an updated row and is empty on a new one; tables the package
    // lacks stay as they were; a protected table reads like a plain one.
    void installMergesByName()
    {
        Fixture f;
        f.db->execute(
            QStringLiteral("insert into PAIS (CodigoPais, NomePais, UsuResp) values ('BR', 'Brasil antigo', 'ana')"));
        f.db->execute(
            QStringLiteral("insert into PAIS (CodigoPais, NomePais, UsuResp) values ('PT', 'Portugal', 'ana')"));
        f.db->execute(QStringLiteral("insert into UF (SiglaUF, NomeUF) values ('SP', 'São Paulo')"));
        QVERIFY(RefPackage::build(
            f.recep(), V1, {RefPackage::pais({{"BR", "Brasil"}, {"AR", "Argentina"}}, Paradox::enginePassword())}));
        QString detail;
        QVERIFY2(RefInstall::install(*f.db, f.recep(), V1, &detail), qPrintable(detail));
        QCOMPARE(f.nomePais("BR"), "Brasil");
        QCOMPARE(f.nomePais("AR"), "Argentina");
        QCOMPARE(f.nomePais("PT"), "Portugal");
        QCOMPARE(f.db->scalar("select UsuResp from PAIS where CodigoPais = 'BR'").toString(), "ana");
        QVERIFY(f.db->scalar("select UsuResp from PAIS where CodigoPais = 'AR'").isNull());
        QCOMPARE(f.count("UF"), 1);
        const RefVersion::Installation now = RefVersion::installed(*f.db);
        QCOMPARE(now.version, "2026010101");
        QCOMPARE(now.fileName, V1);
        QVERIFY(QFileInfo::exists(QDir(f.recep()).filePath(V1)));
        QVERIFY(!f.leftoverTables());
    }

    // Every failure leaves the tables and the history exactly as they were,
    // with the reason named.
    void failedInstallationChangesNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("field of another type") << 0 << "PAIS|CodigoPais|inteiro";
        QTest::newRow("value wider than its column") << 1 << "UF|NomeUF";
        QTest::newRow("truncated zip") << 2 << "";
        QTest::newRow("garbage table") << 3 << "";
        QTest::newRow("entry outside the folder") << 4 << "";
        QTest::newRow("truncated table") << 5 << "";
        QTest::newRow("no tables") << 6 << "";
        QTest::newRow("number beyond its column") << 7 << "PAPEL_EMP|IdPapelEmp";
        QTest::newRow("table inside a folder") << 8 << "tabelas/UF.DB";
        QTest::newRow("one table twice in two cases") << 9 << "PAIS|mais de uma vez";
    }
    void failedInstallationChangesNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, reason);
        Fixture f;
        f.db->execute(
            QStringLiteral("insert into PAIS (CodigoPais, NomePais, UsuResp) values ('BR', 'Brasil antigo', 'ana')"));
        QVERIFY(RefPackage::build(f.recep(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        QVERIFY(RefInstall::install(*f.db, f.recep(), V1));
        const QString before = f.snapshot();

        const QString path = QDir(f.recep()).filePath(V2);
        QTemporaryDir scratch;
        auto tableBytes = [&](const RefPackage::Table &t) {
            const QString p = scratch.filePath(t.name + ".DB");
            auto w = ParadoxWriter::create(p, t.fields, t.password);
            for (const auto &row : t.rows)
                w->appendRow(row);
            w->close();
            QFile file(p);
            file.open(QIODevice::ReadOnly);
            return file.readAll();
        };
        const QByteArray pais = tableBytes(RefPackage::pais({{"BR", "Brasil novo"}, {"AR", "Argentina"}}));
        switch (kind) {
        case 0: {
            // A number where the local key is text would be stored under another key.
            RefPackage::Table t = RefPackage::pais({{55, "Brasil novo"}});
            t.fields[0] = {QStringLiteral("CodigoPais"), Paradox::FieldType::Long, 4};
            QVERIFY(RefPackage::build(f.recep(), V2, {t}));
            break;
        }
        case 1: // PAIS merges first; the wide UF name must undo it
            QVERIFY(RefPackage::build(f.recep(), V2,
                                      {RefPackage::pais({{"BR", "Brasil novo"}}),
                                       RefPackage::uf({{"RJ", QString(40, QLatin1Char('x'))}}, 60)}));
            break;
        case 2: {
            QVERIFY(RefPackage::build(f.recep(), V2, {RefPackage::pais({{"BR", "Brasil novo"}})}));
            QFile z(path);
            QVERIFY(z.open(QIODevice::ReadWrite));
            QVERIFY(z.resize(z.size() / 2));
            break;
        }
        case 3: QVERIFY(RefPackage::rawZip(path, {{"PAIS.DB", pais}, {"UF.DB", QByteArray(4096, 'G')}})); break;
        case 4: QVERIFY(RefPackage::rawZip(path, {{"PAIS.DB", pais}, {"../x.DB", pais}})); break;
        case 5: QVERIFY(RefPackage::rawZip(path, {{"PAIS.DB", pais.left(pais.size() - 700)}})); break;
        case 6: QVERIFY(RefPackage::rawZip(path, {{"leia.txt", "nada"}})); break;
        case 7: {
            const RefPackage::Table papel{
                "PAPEL_EMP",
                {{"IdPapelEmp", Paradox::FieldType::Long, 4}, {"PapelEmp", Paradox::FieldType::Alpha, 40}},
                {{100000, "Importador"}},
                {}};
            QVERIFY(RefPackage::build(f.recep(), V2, {RefPackage::pais({{"BR", "Brasil novo"}}), papel}));
            break;
        }
        case 8: // the merge would not see it
            QVERIFY(RefPackage::rawZip(
                path, {{"PAIS.DB", pais}, {"tabelas/UF.DB", tableBytes(RefPackage::uf({{"RJ", "Rio"}}))}}));
            break;
        case 9: // which one would be merged depends on the file system
            QVERIFY(RefPackage::rawZip(
                path, {{"PAIS.DB", pais}, {"pais.db", tableBytes(RefPackage::pais({{"BR", "Outro"}}))}}));
            break;
        }
        QString detail;
        QVERIFY(!RefInstall::install(*f.db, f.recep(), V2, &detail));
        QVERIFY(!detail.isEmpty());
        for (const QString &word : reason.split('|', Qt::SkipEmptyParts))
            QVERIFY2(detail.contains(word), qPrintable(detail));
        QCOMPARE(f.snapshot(), before);
        QVERIFY(!f.leftoverTables());
        QVERIFY(!QFileInfo::exists(QDir(f.files.path()).filePath("x.DB")));
        QVERIFY(QFileInfo::exists(path)); // kept for a retry
        QVERIFY(!f.db->inTransaction());
    }

    // A package field the local table lacks does not block the update: it is
    // left out and named, in the result and in the error log. Tables come in
    // any letter case and go afterwards all the same.
    void unknownFieldsAreIgnoredAndNamed()
    {
        Fixture f;
        f.db->execute(QStringLiteral("insert into PAIS (CodigoPais, NomePais) values ('BR', 'Brasil antigo')"));
        QTemporaryDir scratch;
        RefPackage::Table pais = RefPackage::pais({{"BR", "Brasil", "América do Sul"}});
        pais.fields.append({QStringLiteral("Continente"), Paradox::FieldType::Alpha, 20});
        const RefPackage::Table uf = RefPackage::uf({{"RJ", "Rio de Janeiro"}});
        QList<QPair<QString, QByteArray>> entries;
        for (const RefPackage::Table &t : {pais, uf}) {
            const QString p = scratch.filePath(t.name);
            auto w = ParadoxWriter::create(p, t.fields, t.password);
            for (const auto &row : t.rows)
                w->appendRow(row);
            w->close();
            QFile file(p);
            QVERIFY(file.open(QIODevice::ReadOnly));
            entries.append({t.name.toLower() + ".db", file.readAll()});
        }
        QVERIFY(RefPackage::rawZip(QDir(f.recep()).filePath(V1), entries));
        QFile::remove(ErrorLog::fileName());

        QString detail;
        QStringList ignored;
        QVERIFY2(RefInstall::install(*f.db, f.recep(), V1, &detail, &ignored), qPrintable(detail));
        QCOMPARE(ignored, QStringList{"PAIS.Continente"});
        QCOMPARE(f.nomePais("BR"), "Brasil");
        QCOMPARE(f.db->scalar("select NomeUF from UF where SiglaUF = 'RJ'").toString(), "Rio de Janeiro");
        QVERIFY(!f.leftoverTables());
        QFile log(ErrorLog::fileName());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains("PAIS.Continente"));

        // The command line and the windows show it after the usual line.
        const RefUpdate::Outcome out = RefUpdate::reinstall(*f.db, f.config(), "2026010101");
        QVERIFY2(out.installed, qPrintable(out.detail));
        QCOMPARE(out.ignored, "Campos do pacote ignorados (a tabela local não os tem): PAIS.Continente.");
    }

    // OBRIG_SERVICO takes the columns of the delivered file; local rows stay
    // while the key survives, and a second delivery of the same form merges.
    void obligationsTableIsStoredAsDelivered()
    {
        Fixture f;
        f.db->execute(QStringLiteral("insert into OBRIG_SERVICO (IdClasseCertif, IdClasseServ) values ('PROD', 7)"));
        const RefPackage::Table obrig{"OBRIG_SERVICO",
                                      {{"IdClasseCertif", Paradox::FieldType::Alpha, 10},
                                       {"IdClasseServ", Paradox::FieldType::Short, 2},
                                       {"Obrigatorio", Paradox::FieldType::Logical, 1},
                                       {"Observacao", Paradox::FieldType::Alpha, 80}},
                                      {{"SERV", 1, true, "Ensaio anual"}, {"SERV", 2, false, QVariant()}},
                                      {}};
        QVERIFY(RefPackage::build(f.recep(), V1, {obrig}));
        QString detail;
        QStringList ignored;
        QVERIFY2(RefInstall::install(*f.db, f.recep(), V1, &detail, &ignored), qPrintable(detail));
        QVERIFY(ignored.isEmpty());
        QStringList columns;
        const QSqlRecord shape = f.db->exec("select * from OBRIG_SERVICO where 1 = 0").record();
        for (int i = 0; i < shape.count(); ++i)
            columns << shape.fieldName(i);
        QStringList delivered{"IdClasseCertif", "IdClasseServ", "Obrigatorio", "Observacao"};
        if (TestDb::onServer()) // it keeps every name in lower case
            for (QString &name : delivered)
                name = name.toLower();
        QCOMPARE(columns, delivered);
        QCOMPARE(f.count("OBRIG_SERVICO"), 3);
        QCOMPARE(f.db->scalar("select Observacao from OBRIG_SERVICO where IdClasseServ = 1").toString(),
                 "Ensaio anual");
        QCOMPARE(f.db->scalar("select Obrigatorio from OBRIG_SERVICO where IdClasseServ = 1").toInt(), 1);
        QCOMPARE(f.db->scalar("select count(*) from OBRIG_SERVICO where IdClasseCertif = 'PROD'").toInt(), 1);

        RefPackage::Table again = obrig;
        again.rows = {{"SERV", 1, false, "Ensaio semestral"}};
        QVERIFY(RefPackage::build(f.recep(), V2, {again}));
        QVERIFY2(RefInstall::install(*f.db, f.recep(), V2, &detail), qPrintable(detail));
        QCOMPARE(f.count("OBRIG_SERVICO"), 3);
        QCOMPARE(f.db->scalar("select Observacao from OBRIG_SERVICO where IdClasseServ = 1").toString(),
                 "Ensaio semestral");
    }

    // The folder search, the found-again text, reinstallation of an older
    // version and the search from it afterwards.
    void folderUpdateAndReinstall()
    {
        Fixture f;
        QVERIFY(RefPackage::build(f.origem(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        QVERIFY(RefPackage::build(
            f.origem(), "oc-tab-2026020101.zip",
            {RefPackage::pais({{"BR", "Brasil 2"}, {"AR", "Argentina"}}), RefPackage::uf({{"SP", "São Paulo"}})}));
        QVERIFY(RefPackage::build(f.origem(), "OC-TAB-2026020101X.zip", {RefPackage::pais({{"BR", "errado"}})}));
        QList<qint64> steps;
        RefUpdate::Outcome out = RefUpdate::updateFromFolder(*f.db, f.config(), f.origem(),
                                                             [&](qint64 done, qint64) { steps << done; });
        QVERIFY2(out.installed, qPrintable(out.detail));
        QCOMPARE(out.result, "A nova versão foi instalada sem problemas.");
        QCOMPARE(out.fileName, "oc-tab-2026020101.zip");
        QVERIFY(!steps.isEmpty());
        QCOMPARE(steps.last(), QFileInfo(QDir(f.origem()).filePath(out.fileName)).size());
        QCOMPARE(f.nomePais("BR"), "Brasil 2");
        QCOMPARE(RefVersion::installed(*f.db).version, "2026020101");

        out = RefUpdate::updateFromFolder(*f.db, f.config(), f.origem(), {});
        QVERIFY(!out.installed);
        QCOMPARE(out.result, "Não foi encontrado arquivo de atualização mais atual");

        // V1 was never installed here: only versions of the history reinstall.
        QCOMPARE(RefUpdate::reinstall(*f.db, f.config(), "2026010101").installed, false);
        QVERIFY(RefPackage::build(f.recep(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        f.db->execute("insert into CONTROLE_AUX values (?, '2026010101', ?)",
                      {QDateTime(QDate(2020, 1, 1), QTime(0, 0)), V1});
        QFile::remove(QDir(f.recep()).filePath(V1));
        out = RefUpdate::reinstall(*f.db, f.config(), "2026010101");
        QCOMPARE(out.result, "O arquivo da versão anterior não foi encontrado.");
        QVERIFY(RefPackage::build(f.recep(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        out = RefUpdate::reinstall(*f.db, f.config(), "2026010101");
        QVERIFY2(out.installed, qPrintable(out.detail));
        QCOMPARE(out.result, "A versão anterior foi instalada sem problemas.");
        QCOMPARE(RefVersion::installed(*f.db).version, "2026010101");
        QCOMPARE(f.nomePais("BR"), "Brasil");
        QCOMPARE(f.nomePais("AR"), "Argentina"); // added by the newer version, stays
        QCOMPARE(f.count("UF"), 1);
        QCOMPARE(RefVersion::byVersion(*f.db).first().version, "2026020101");

        // The next update searches from the reinstalled version.
        out = RefUpdate::updateFromFolder(*f.db, f.config(), f.origem(), {});
        QVERIFY(out.installed);
        QCOMPARE(RefVersion::installed(*f.db).version, "2026020101");
    }

    void ftpUpdateAndFaults()
    {
        Fixture f;
        const QString root = f.files.filePath("srv");
        QDir(root).mkpath("tabelas");
        QVERIFY(RefPackage::build(root + "/tabelas", V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        QVERIFY(RefPackage::build(root + "/tabelas", V2, {RefPackage::pais({{"BR", "Brasil 2"}})}));
        FtpTestServer server(root);
        QVERIFY2(server.start(), qPrintable(server.error()));

        f.db->execute("update CONFIG_LOCAL set EndQueloraOrigAux = ?", {server.address("naoexiste")});
        RefUpdate::Outcome out = RefUpdate::updateByFtp(*f.db, f.config(), {});
        QVERIFY(!out.installed);
        QCOMPARE(out.result, "Erro na troca de diretório.");
        QCOMPARE(f.count("CONTROLE_AUX"), 0);

        f.db->execute("update CONFIG_LOCAL set EndQueloraOrigAux = ?", {server.address("tabelas")});
        out = RefUpdate::updateByFtp(*f.db, f.config(), {});
        QVERIFY2(out.installed, qPrintable(out.result + out.detail));
        QCOMPARE(out.fileName, V2);
        QCOMPARE(f.nomePais("BR"), "Brasil 2");
        QVERIFY(QFileInfo::exists(QDir(f.recep()).filePath(V2)));
        out = RefUpdate::updateByFtp(*f.db, f.config(), {});
        QCOMPARE(out.result, "Não foi encontrado arquivo de atualização mais atual.");
        QCOMPARE(f.count("CONTROLE_AUX"), 1);

        const QString address = server.address("tabelas");
        server.stop();
        QVERIFY(RefPackage::build(root + "/tabelas", "OC-TAB-2026030101.zip", {RefPackage::pais({{"BR", "x"}})}));
        f.db->execute("update CONFIG_LOCAL set EndQueloraOrigAux = ?", {address});
        out = RefUpdate::updateByFtp(*f.db, f.config(), {});
        QVERIFY(!out.installed);
        QVERIFY2(out.result.startsWith("Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:"),
                 qPrintable(out.result));
        QCOMPARE(f.count("CONTROLE_AUX"), 1);
        QCOMPARE(f.nomePais("BR"), "Brasil 2");
    }
};

QTEST_GUILESS_MAIN(TestRefUpdate)
#include "test_refupdate.moc"
