// Users made before the certifier was configured take its code.
#include "db/database.h"
#include "db/dberror.h"
#include "shell/configediting.h"
#include "shell/configlocal.h"
#include "shell/loginservice.h"
#include "shell/passwordrules.h"
#include "shell/userstore.h"
#include "support/refusingtrigger.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QtTest>

class TestCertifierAdoption : public QObject
{
    Q_OBJECT

private slots:
    void configuringTheCertifierGivesItToUsersWithout()
    {
        TestHome home; // made without demo data
        Database db;
        home.open(db);
        ScriptedMessenger msg;
        UserStore users(db);
        QVERIFY(users.find("admin")->certificador.isEmpty());
        QVERIFY(LoginService::login(db, "admin", "admin", msg)->certifier.isEmpty());

        UserRecord other;
        other.sigla = "maria";
        other.certificador = "OUTRO";
        other.nome = "Maria";
        other.senha = PasswordRules::encode("maria1");
        users.insert(other);
        db.execute("INSERT INTO USU_LOCAL (SiglaUsu, SiglaCertificador, NomeUsu) VALUES ('branco', '  ', 'B')");

        QStringList copies;
        CertifierEditing editing(db, msg, [&copies](const QString &c) { copies << c; });
        editing.open();
        ConfigLocal edited = editing.stored();
        edited.siglaCertificador = " ocx ";
        edited.nomeOCC = "Organismo X";
        msg.answers.enqueue(true); // any new code is confirmed first
        QVERIFY(editing.confirm(edited));
        QCOMPARE(copies.last(), QString("OCX"));

        QCOMPARE(users.find("admin")->certificador, QString("OCX"));
        QCOMPARE(users.find("branco")->certificador, QString("OCX"));
        QCOMPARE(users.find("maria")->certificador, QString("OUTRO")); // a code already given stays
        QCOMPARE(LoginService::login(db, "admin", "admin", msg)->certifier, QString("OCX"));
        QCOMPARE(LoginService::login(db, "admin", "admin", msg)->statusText(),
                 QString("USUÁRIO: admin  |  ORGANISMO: OCX"));

        // A later change of code, confirmed, does not rewrite users that have one.
        msg.answers.enqueue(true);
        edited = editing.stored();
        edited.siglaCertificador = "NOVO";
        QVERIFY(editing.confirm(edited));
        QCOMPARE(users.find("admin")->certificador, QString("OCX"));
    }

    void aFailedSaveGivesNoCodeToUsers()
    {
        TestHome home;
        Database db;
        home.open(db);
        // The users cannot be written: the certifier row is not kept either.
        RefusingTrigger::add(db, "USU_LOCAL", "UPDATE");
        ConfigLocal row;
        row.siglaCertificador = "OCX";
        QVERIFY_THROWS_EXCEPTION(DbError, ConfigLocalStore::save(db, row));
        QVERIFY(UserStore(db).find("admin")->certificador.isEmpty());
        QVERIFY(!ConfigLocalStore::read(db).has_value());
    }
};

QTEST_GUILESS_MAIN(TestCertifierAdoption)
#include "test_certifieradoption.moc"
