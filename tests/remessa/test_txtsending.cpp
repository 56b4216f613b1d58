#include "base/archive.h"
#include "db/database.h"
#include "remessa/txtsending.h"
#include "support/clirun.h"
#include "support/scriptedmessenger.h"
#include "support/testfiles.h"
#include "support/testhome.h"
#include "support/testservers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString Sigla = QStringLiteral("OCT");

// The single entry of a package, unpacked by the archive routine.
QByteArray unpackOnly(const QString &zip, const QString &entry)
{
    QTemporaryDir out;
    ScriptedMessenger m;
    if (!Archive::unzip(zip, out.path(), m) || QDir(out.path()).entryList(QDir::Files) != QStringList{entry})
        return {};
    return readFile(out.filePath(entry));
}

struct Fixture
{
    std::unique_ptr<TestHome> home = std::make_unique<TestHome>(false);
    std::unique_ptr<Database> db = std::make_unique<Database>(QStringLiteral("txt-test"));
    QTemporaryDir files;

    Fixture()
    {
        home->open(*db);
        db->execute(QStringLiteral("insert into CONFIG_LOCAL (SiglaCertificador, NomeOCC, LoginFTP, SenhaFTP, "
                                   "EndSMTPEMailReply) values (?, ?, 'occ', 'segredo', 'quelora@regulador.gov.br')"),
                    {Sigla, QStringLiteral("Organismo de Teste")});
    }
    ~Fixture()
    {
        db.reset();
        home.reset();
    }
    void set(const QString &column, const QVariant &value)
    {
        db->execute(QStringLiteral("update CONFIG_LOCAL set ") + column + QStringLiteral(" = ?"), {value});
    }
    QString path(const QString &name) const { return files.filePath(name); }
    int rows(const QString &name) const
    {
        return db->scalar(QStringLiteral("select count(*) from CONTROLE_TXT where NomeArquivo = ?"), {name}).toInt();
    }

    using Result = CliRun::Result;
    Result cli(const QStringList &args) const
    {
        return CliRun::run(QStringList{"txt", "enviar"} + CliRun::signedIn(home->dir()) + args,
                           CliRun::Options().within(60000));
    }
};

}

class TestTxtSending : public QObject
{
    Q_OBJECT

private slots:
    void listsOnlyTheCertifiersFiles()
    {
        QTemporaryDir dir;
        for (const char *name : {"TX-OCT01.txt", "tx-oct02.TXT", "TX-OCX01.txt", "TX-OCT01.zip", "OC-OCT01.txt"})
            QVERIFY(writeFile(dir.filePath(name), "x"));
        QCOMPARE(TxtSending::fileMask(Sigla), "TX-OCT*.txt");
        QCOMPARE(TxtSending::listFiles(dir.path(), Sigla), QStringList({"TX-OCT01.txt", "tx-oct02.TXT"}));
        QVERIFY(!TxtSending::matchesMask("TX-OCX01.txt", Sigla));
        QCOMPARE(TxtSending::packageName("TX-OCT01.txt"), "TX-OCT01.zip");
        QCOMPARE(TxtSending::packageName("TX-OCT.01.txt"), "TX-OCT.zip");
    }

    // The package holds the TXT file, which stays for a retry; a row of the
    // log, sent or imported, refuses the file again.
    void packsKeepingTheFileAndLogs()
    {
        Fixture f;
        const QByteArray text = "linha 1\r\nlinha 2 com acentuação\r\n";
        QVERIFY(writeFile(f.path("TX-OCT01.txt"), text));
        QVERIFY(writeFile(f.path("TX-OCT01.zip"), "pacote antigo"));
        ScriptedMessenger m;
        QVERIFY(TxtSending::package(f.files.path(), "TX-OCT01.txt", m));
        QCOMPARE(readFile(f.path("TX-OCT01.txt")), text);
        QCOMPARE(unpackOnly(f.path("TX-OCT01.zip"), "TX-OCT01.txt"), text);
        QVERIFY(!TxtSending::package(f.files.path(), "TX-OCT09.txt", m));
        QCOMPARE(m.messages.size(), 1);

        QVERIFY(!TxtSending::alreadySent(*f.db, "TX-OCT01.txt"));
        QVERIFY(TxtSending::logDelivery(*f.db, "TX-OCT01.txt", QString(), "admin"));
        QVERIFY(TxtSending::alreadySent(*f.db, "TX-OCT01.txt"));
        QVERIFY(TxtSending::alreadySent(*f.db, "tx-oct01.txt"));
        QSqlQuery q = f.db->exec("select NomeArquivo, UsuResp, EnviadoQUELORA, DataHoraEvento from CONTROLE_TXT");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), "TX-OCT01.txt");
        QCOMPARE(q.value(1).toString(), "admin");
        QCOMPARE(q.value(2).toString(), "S");
        QVERIFY(qAbs(q.value(3).toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
        f.db->execute("insert into CONTROLE_TXT (NomeArquivo, EnviadoQUELORA) values ('TX-OCT02.txt', 'N')");
        QVERIFY(TxtSending::alreadySent(*f.db, "TX-OCT02.txt"));
        QCOMPARE(TxtSending::alreadySentMessage("TX-OCT02.txt"),
                 "O arquivo TX-OCT02.txt já foi enviado e processado no QUELORA.");
    }

    // By FTP: the zip arrives whole, the row is written once; a server that is
    // down logs nothing and the retry goes; a sent file is refused.
    void sendsByFtpFromTheCommandLine()
    {
        Fixture f;
        const QByteArray text = QByteArray("registro;").repeated(20000);
        QVERIFY(writeFile(f.path("TX-OCT01.txt"), text));
        FtpTestServer server(f.path("srv"));
        QDir().mkpath(server.root() + "/entrada");
        QVERIFY(server.start());
        f.set("EndQueloraEnvio", server.address("entrada"));
        const int port = server.port();
        server.stop();

        Fixture::Result r = f.cli({f.path("TX-OCT01.txt"), "--ftp"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains("Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:Não foi possível "
                                "conectar ao servidor 127.0.0.1 na porta " +
                                QString::number(port)),
                 qPrintable(r.out + r.err));
        QVERIFY(r.out.contains("Houve erro durante a transferência."));
        QCOMPARE(f.rows("TX-OCT01.txt"), 0);

        QVERIFY(server.start());
        f.set("EndQueloraEnvio", server.address("entrada"));
        r = f.cli({f.path("TX-OCT01.txt"), "--ftp"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Transferência realizada com sucesso."), qPrintable(r.out + r.err));
        QVERIFY(r.out.contains("Usuário Responsável : "));
        QCOMPARE(QDir(server.root() + "/entrada").entryList(QDir::Files), QStringList{"TX-OCT01.zip"});
        QCOMPARE(readFile(server.root() + "/entrada/TX-OCT01.zip"), readFile(f.path("TX-OCT01.zip")));
        QCOMPARE(unpackOnly(server.root() + "/entrada/TX-OCT01.zip", "TX-OCT01.txt"), text);
        QVERIFY(QFile::exists(f.path("TX-OCT01.txt")));
        QCOMPARE(f.rows("TX-OCT01.txt"), 1);

        r = f.cli({f.path("TX-OCT01.txt"), "--ftp"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("O arquivo TX-OCT01.txt já foi enviado e processado no QUELORA."));
        QCOMPARE(f.rows("TX-OCT01.txt"), 1);

        // A missing remote folder: the failure's text, nothing logged.
        QVERIFY(writeFile(f.path("TX-OCT02.txt"), "dois"));
        f.set("EndQueloraEnvio", server.address("nao-existe"));
        r = f.cli({f.path("TX-OCT02.txt"), "--ftp"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.contains("Transferência não realizada: Erro na troca de diretório.."));
        QCOMPARE(f.rows("TX-OCT02.txt"), 0);
    }

    void sendsByEmailAndToAFolder()
    {
        Fixture f;
        QVERIFY(writeFile(f.path("TX-OCT03.txt"), "tres"));
        SmtpTestServer smtp(f.path("spool"));
        QVERIFY(smtp.start());
        f.set("EndSMTPHost", "127.0.0.1");
        f.set("EndSMTPPort", QString::number(smtp.port()));
        Fixture::Result r = f.cli({f.path("TX-OCT03.txt"), "--email"});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const QJsonObject m = QJsonDocument::fromJson(smtp.messageJson(1)).object();
        QCOMPARE(m["rcpt_tos"].toArray(), QJsonArray{"quelora@regulador.gov.br"});
        QCOMPARE(m["headers"].toObject()["From"].toString(), "OCT - Organismo de Teste <quelora@regulador.gov.br>");
        const QJsonObject att = m["attachments"].toArray()[0].toObject();
        QCOMPARE(att["filename"].toString(), "TX-OCT03.zip");
        QCOMPARE(readFile(att["file"].toString()), readFile(f.path("TX-OCT03.zip")));
        QCOMPARE(f.rows("TX-OCT03.txt"), 1);

        QVERIFY(writeFile(f.path("TX-OCT04.txt"), "quatro"));
        QTemporaryDir dest;
        r = f.cli({f.path("TX-OCT04.txt"), "--pasta", dest.path()});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY(r.out.contains("Gravação de arquivo realizada com sucesso."));
        QCOMPARE(unpackOnly(dest.filePath("TX-OCT04.zip"), "TX-OCT04.txt"), QByteArray("quatro"));
        QCOMPARE(f.db->scalar("select Obs from CONTROLE_TXT where NomeArquivo = 'TX-OCT04.txt'").toString(),
                 "<Transferência Manual: Gravação de Disquete>");
    }

    void refusesWhatTheWindowWouldNotOffer()
    {
        Fixture f;
        QVERIFY(writeFile(f.path("TX-OCX01.txt"), "outro certificador"));
        QCOMPARE(f.cli({f.path("TX-OCX01.txt"), "--ftp"}).code, 1);
        QCOMPARE(f.cli({f.path("TX-OCT09.txt"), "--ftp"}).code, 1);
        QCOMPARE(f.cli({f.path("TX-OCX01.txt")}).code, 2);
        QCOMPARE(f.cli({f.path("TX-OCX01.txt"), "--ftp", "--email"}).code, 2);
        QCOMPARE(f.cli({f.path("TX-OCX01.txt"), "--pasta", f.path("nao-existe")}).code, 2);
        QVERIFY(QDir(f.files.path()).entryList({"*.zip"}, QDir::Files).isEmpty());
        QCOMPARE(f.db->scalar("select count(*) from CONTROLE_TXT").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTxtSending)
#include "test_txtsending.moc"
