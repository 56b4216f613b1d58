#include "support/fulldisk.h"
#include "support/remessafixture.h"
#include "support/scriptedmessenger.h"

#include "base/archive.h"
#include "base/codecs.h"
#include "remessa/deltatables.h"
#include "remessa/manualresult.h"
#include "remessa/remessacontrol.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QtTest>

namespace {
const QString Number = QStringLiteral("2026120803");
QString codeFor(const QString &plain)
{
    return Codecs::confirmation(Codecs::Encode, plain);
}
}

class TestManualResult : public QObject
{
    Q_OBJECT

    RemessaWork context(RemessaFixture &f, const QString &type = QStringLiteral("C")) { return f.work(Number, type); }

private slots:
    void decodesNumberAndVerdictFromTheEnd()
    {
        auto c = ManualResult::decode(codeFor("QL" + Number + "OK"));
        QVERIFY(c);
        QCOMPARE(c->number, Number);
        QCOMPARE(c->verdict, QStringLiteral("OK"));
        c = ManualResult::decode(codeFor(Number + "NO"));
        QVERIFY(c);
        QCOMPARE(c->verdict, QStringLiteral("NO"));

        QVERIFY(!ManualResult::decode(QString()));
        QVERIFY(!ManualResult::decode(codeFor(Number + "OX")));
        QVERIFY(!ManualResult::decode(codeFor(Number + "ok")));
        QVERIFY(!ManualResult::decode(codeFor("026120803OK"))); // too short for a number
        QVERIFY(!ManualResult::decode(Number + "OK")); // typed without encoding
        QVERIFY(!ManualResult::decode(QString(21, QLatin1Char('a'))));
    }

    void acceptsOnlyTheRemittanceWaitingForItsResult()
    {
        RemessaFixture f;
        const QString ok = codeFor("X" + Number + "OK");
        // Not transferred yet.
        f.event(Number, "C", "PR", 10);
        QVERIFY(!ManualResult::check(f.db, context(f), ok));
        f.event(Number, "C", "TR", 5);
        QVERIFY(ManualResult::check(f.db, context(f), ok));
        // The right remittance, but the package of the other type.
        QVERIFY(!ManualResult::check(f.db, context(f, "T"), ok));
        // A code of another remittance.
        QVERIFY(!ManualResult::check(f.db, context(f), codeFor("X2026120802OK")));
        // Settled already.
        f.event(Number, "C", "OK", 0);
        QVERIFY(!ManualResult::check(f.db, context(f), ok));
    }

    void typeOfTheCompleteRemittanceToo()
    {
        RemessaFixture f;
        f.event(Number, "T", "PR", 10);
        f.event(Number, "T", "TR", 5);
        QVERIFY(ManualResult::check(f.db, context(f, "T"), codeFor(Number + "NO")));
        QVERIFY(!ManualResult::check(f.db, context(f, "C"), codeFor(Number + "NO")));
    }

    void remarkIsMarkedAndCutAt100()
    {
        QCOMPARE(ManualResult::remark({}), QStringLiteral("<Recebimento Manual> "));
        QCOMPARE(ManualResult::remark({"linha um", "dois"}), QStringLiteral("<Recebimento Manual>  linha um dois"));
        const QString long1 = QString(90, QLatin1Char('x'));
        const QString r = ManualResult::remark({long1, "fim"});
        QCOMPARE(r.size(), 100);
        QVERIFY(r.endsWith("xxx"));
    }

    void verdictNoIsRecordedAndTouchesNothingElse()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        f.event(Number, "C", "TR", 5);
        const QString package = f.makeFile(context(f).remittance.packageName, 100);
        ScriptedMessenger msg;
        QVERIFY(ManualResult::apply(f.db, msg, context(f), "NO", {QString(120, QLatin1Char('o'))}));
        QSqlQuery q = f.db.exec("SELECT TipoRemessa, Usuario, Obs FROM CONTROLE WHERE Evento = 'NO'");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("C"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("Administrador"));
        QCOMPARE(q.value(2).toString().size(), 100);
        QVERIFY(q.value(2).toString().startsWith("<Recebimento Manual>  ooo"));
        QVERIFY(QFileInfo::exists(package));
        QVERIFY(msg.messages.isEmpty());
    }

    // A missing package: two boxes, no row, the remittance still waits.
    void failedSynchronisationWritesNothing()
    {
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        f.event(Number, "C", "TR", 5);
        ScriptedMessenger msg;
        QVERIFY(!ManualResult::apply(f.db, msg, context(f), "OK", {"obs"}));
        QCOMPARE(msg.messages.size(), 2);
        QCOMPARE(msg.messages.at(0).text,
                 "Remessa Nº: " + context(f).remittance.packageName +
                     "\n Não encontrada no diretório: " + QDir::toNativeSeparators(f.syncDir));
        QCOMPARE(msg.messages.at(1).text,
                 QStringLiteral("Ocorreu um Erro na Sincronização.\nEntre em contato com o suporte."));
        QCOMPARE(f.newestEvent(Number), QStringLiteral("TR"));
        QCOMPARE(f.count("CONTROLE"), 2);

        // Without a synchronisation folder nothing is unpacked or cleared
        // anywhere else (the current folder keeps its tables).
        f.makeFile(context(f).remittance.packageName, 100);
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        QFile table(elsewhere.filePath("Certific_I.DB"));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.close();
        RemessaWork c = context(f);
        c.syncDir.clear();
        msg.clear();
        QVERIFY(!ManualResult::apply(f.db, msg, c, "OK", {}));
        QDir::setCurrent(previous);
        QCOMPARE(msg.messages.size(), 2);
        QVERIFY(QFileInfo::exists(elsewhere.filePath("Certific_I.DB")));
        QCOMPARE(f.count("CONTROLE"), 2);
    }

    // The package is there but the disk is full: the box names the cause,
    // not a missing package, and nothing unpacked stays.
    void aFullDiskIsNotAMissingPackage()
    {
        FullDisk disk(256 * 1024);
        REQUIRE_MOUNTED(disk);
        RemessaFixture f;
        f.event(Number, "C", "PR", 10);
        f.event(Number, "C", "TR", 5);
        RemessaWork c = context(f);
        c.syncDir = disk.path() + "/";
        DeltaTables::create(f.transferDir, "Certific", DeltaTables::Inclusion);
        DeltaTables::create(f.transferDir, "Empresa", DeltaTables::Inclusion);
        ScriptedMessenger quiet;
        QVERIFY(Archive::zip(f.transferDir + "*.DB", f.transferDir + c.remittance.packageName, quiet));
        disk.fill(0);

        ScriptedMessenger msg;
        QVERIFY(!ManualResult::apply(f.db, msg, c, "OK", {}));
        QCOMPARE(msg.messages.size(), 2);
        QVERIFY2(!msg.messages.at(0).text.contains("Não encontrada"), qPrintable(msg.messages.at(0).text));
        QVERIFY2(msg.messages.at(0).text.contains("não há espaço livre no disco"), qPrintable(msg.messages.at(0).text));
        QCOMPARE(msg.messages.at(1).text,
                 QStringLiteral("Ocorreu um Erro na Sincronização.\nEntre em contato com o suporte."));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(f.count("CONTROLE"), 2);
        QVERIFY(QFileInfo::exists(f.transferDir + c.remittance.packageName));
    }
};

QTEST_GUILESS_MAIN(TestManualResult)
#include "test_manualresult.moc"
