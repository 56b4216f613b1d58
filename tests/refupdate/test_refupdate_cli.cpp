#include "db/database.h"
#include "support/clirun.h"
#include "support/refpackage.h"
#include "support/testhome.h"

#include <QThread>
#include <QtTest>
#include <memory>

namespace {

const QString V1 = QStringLiteral("OC-TAB-2026010101.zip");
const QString V2 = QStringLiteral("OC-TAB-2026020101.zip");

using Result = CliRun::Result;

struct Fixture
{
    std::unique_ptr<TestHome> home = std::make_unique<TestHome>(false);
    QTemporaryDir files;

    Fixture()
    {
        QDir(files.path()).mkpath(QStringLiteral("recep"));
        QDir(files.path()).mkpath(QStringLiteral("origem"));
        Database db(QStringLiteral("refupdate-cli"));
        home->open(db);
        // Nothing listens on port 9 of the loopback.
        db.execute(QStringLiteral("insert into CONFIG_LOCAL (SiglaCertificador, DirLocalRecepAux, EndQueloraOrigAux, "
                                  "LoginFTP, SenhaFTP) values ('OCT', ?, '127.0.0.1:9/tabelas', 'occ', 'segredo')"),
                   {recep()});
    }
    QString recep() const { return files.filePath(QStringLiteral("recep")); }
    QString origem() const { return files.filePath(QStringLiteral("origem")); }
    QString scalar(const QString &sql) const
    {
        Database db(QStringLiteral("refupdate-cli-read"));
        home->open(db);
        return db.scalar(sql).toString();
    }
    Result cli(const QStringList &args) const
    {
        const QStringList all = QStringList{QStringLiteral("tabelas"), args.first()} + CliRun::signedIn(home->dir());
        return CliRun::run(all + args.mid(1), CliRun::Options().within(60000));
    }
};

}

class TestRefUpdateCli : public QObject
{
    Q_OBJECT

private slots:
    void updateHistoryReinstall()
    {
        Fixture f;
        QVERIFY(RefPackage::build(f.origem(), V1, {RefPackage::pais({{"BR", "Brasil"}})}));
        Result r = f.cli({"atualizar", "--pasta", f.origem()});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("A nova versão foi instalada sem problemas."));
        QVERIFY(r.out.contains("Arquivo: " + V1));

        r = f.cli({"atualizar", "--pasta", f.origem()});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Não foi encontrado arquivo de atualização mais atual"));

        QVERIFY(RefPackage::build(f.origem(), V2, {RefPackage::pais({{"BR", "Brasil 2"}, {"AR", "Argentina"}})}));
        QCOMPARE(f.cli({"atualizar", "--pasta", f.origem()}).code, 0);
        r = f.cli({"historico"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("Número da Versão: 2026020101\nArquivo da Versão: " + V2 + "\n"));
        QVERIFY(r.out.indexOf("\t2026020101\t") < r.out.indexOf("\t2026010101\t"));

        r = f.cli({"reinstalar", "2026010101"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("A versão anterior foi instalada sem problemas."));
        QCOMPARE(f.scalar("select NomePais from PAIS where CodigoPais = 'BR'"), "Brasil");
        QCOMPARE(f.scalar("select NomePais from PAIS where CodigoPais = 'AR'"), "Argentina");
        QVERIFY(f.cli({"historico"}).out.startsWith("Número da Versão: 2026010101\n"));

        QCOMPARE(f.cli({"reinstalar", "2025010101"}).code, 1);
        QCOMPARE(f.cli({"reinstalar"}).code, 2);
    }

    // Two updates at once: each unpacks into a folder of its own, one
    // installs at a time, and no version is recorded without its tables.
    void updatesStartedTogetherInstallWholeVersions()
    {
        Fixture f;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVANE_SENHA"), QStringLiteral("admin"));
        // More rounds on demand, for a longer run outside the suite.
        const int rounds = qBound(1, qEnvironmentVariableIntValue("CORVANE_RACE_ROUNDS"), 30);
        for (int round = 1; round <= (qEnvironmentVariableIsSet("CORVANE_RACE_ROUNDS") ? rounds : 8); ++round) {
            const QString version = QStringLiteral("202603%1").arg(round * 100 + 1, 4, 10, QLatin1Char('0'));
            QList<QVariantList> rows;
            for (int i = 0; i < 3000; ++i)
                rows.append({QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')),
                             QStringLiteral("País %1 v%2").arg(i).arg(round)});
            QVERIFY(RefPackage::build(f.origem(), "OC-TAB-" + version + ".zip", {RefPackage::pais(rows)}));
            QProcess a, b;
            for (QProcess *p : {&a, &b}) {
                p->setProcessEnvironment(env);
                p->setStandardInputFile(QProcess::nullDevice());
                p->start(QStringLiteral(CORVANE_CLI_PATH),
                         {"tabelas", "atualizar", "--home", f.home->dir(), "--user", "admin", "--pasta", f.origem()});
                QThread::msleep(quint64(30 * (round % 3)));
            }
            int installed = 0;
            for (QProcess *p : {&a, &b}) {
                QVERIFY(p->waitForFinished(60000));
                const QString out = QString::fromUtf8(p->readAllStandardOutput());
                const QString err = QString::fromUtf8(p->readAllStandardError());
                if (p->exitCode() == 0) {
                    QVERIFY(out.contains("A nova versão foi instalada sem problemas."));
                    ++installed;
                } else {
                    QVERIFY2(err.contains("Não foi encontrado arquivo de atualização mais atual") ||
                                 err.contains("Outra operação"),
                             qPrintable(out + err));
                }
            }
            QVERIFY(installed >= 1);
            QCOMPARE(f.scalar("select max(NumeroVersao) from CONTROLE_AUX"), version);
            // The recorded version's tables arrived, all of them.
            QCOMPARE(f.scalar("select NomePais from PAIS where CodigoPais = '2999'"),
                     QStringLiteral("País 2999 v%1").arg(round));
            QCOMPARE(f.scalar("select count(*) from PAIS where NomePais like '% v" + QString::number(round) + "'"),
                     "3000");
            const QStringList left = QDir(f.recep()).entryList(QDir::Dirs | QDir::NoDotAndDotDot) +
                QDir(f.recep()).entryList({"*.DB", "*.PX", "*.db"}, QDir::Files);
            QVERIFY2(left.isEmpty(), qPrintable(left.join(',')));
        }
    }

    void failuresExitOneAndInstallNothing()
    {
        Fixture f;
        RefPackage::Table t = RefPackage::pais({{"BR", "Brasil"}});
        t.fields[1] = {QStringLiteral("NomePais"), Paradox::FieldType::Date, 4};
        t.rows = {{"BR", QDate(2026, 1, 1)}};
        QVERIFY(RefPackage::build(f.origem(), V1, {t}));
        Result r = f.cli({"atualizar", "--pasta", f.origem()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Ocorreu um Erro na Atualização.") && r.err.contains("NomePais"), qPrintable(r.err));

        r = f.cli({"atualizar"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Erro ao tentar conectar."), qPrintable(r.err));
        QCOMPARE(f.scalar("select count(*) from CONTROLE_AUX"), "0");
        QCOMPARE(f.scalar("select count(*) from PAIS"), "0");
    }
};

QTEST_GUILESS_MAIN(TestRefUpdateCli)
#include "test_refupdate_cli.moc"
