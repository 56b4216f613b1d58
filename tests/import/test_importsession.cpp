// The import session answers sequence numbers and issue dates from memory and
// keeps the logs open; the same writes without a session ask the database
// every time and open the logs for every line. Both must leave the same rows
// and the same logs.
#include "db/database.h"
#include "db/schema.h"
#include "import/datastruct.h"
#include "import/descriptorfactory.h"
#include "import/importsession.h"
#include "import/postimport_history.h"
#include "support/importfilebuilder.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using B = ImportFileBuilder;

namespace {

const QString Sigla = QStringLiteral("OCT");

struct Record
{
    QString header;
    B::Values values;
};

// Certificate C-1 is written, its issue date moved a year and a half later,
// and records dated between the two dates come after: only the new date may
// judge them. Status rows of several tables are numbered on the way, one
// status record failing the date rule in between.
QList<Record> scenario()
{
    B::Values later = B::certific(QStringLiteral("C-1"));
    later[QStringLiteral("DataEmissao")] = QStringLiteral("01/06/2021");
    later[QStringLiteral("DthStatusCertificado")] = QStringLiteral("01/06/2021");
    B::Values betweenType = B::tipo(QStringLiteral("C-1"), QStringLiteral("Marca"), QStringLiteral("M2"),
                                    QStringLiteral("Empresa"));
    betweenType[QStringLiteral("DthEntCertif")] = QStringLiteral("01/03/2021");
    B::Values lot = B::lote(QStringLiteral("C-1"), QStringLiteral("L1"), QStringLiteral("Marca"), QStringLiteral("M1"),
                            QStringLiteral("Empresa"));
    lot[QStringLiteral("DthEntCertif")] = QStringLiteral("01/07/2021");
    lot[QStringLiteral("DthStatusLote")] = QStringLiteral("01/07/2021");
    const B::Values statusT{
        {"Numcertif", "C-1"},  {"Importado", "1"},    {"MarcaProd", "Marca"}, {"ModeloProd", "M1"},
        {"Evento", "ALT"},     {"HistoricoSis", "1"}, {"StatusProduto", "A"}, {"DthStatusProduto", "01/07/2021"},
        {"Justificativa", "j"}};
    return {
        {QStringLiteral("[CERTIFIC]"), B::certific(QStringLiteral("C-1"))},
        {QStringLiteral("[TIPO]"),
         B::tipo(QStringLiteral("C-1"), QStringLiteral("Marca"), QStringLiteral("M1"), QStringLiteral("Empresa"))},
        {QStringLiteral("[CERTIFIC]"), later},
        {QStringLiteral("[TIPO]"), betweenType},
        {QStringLiteral("[STATUS_C]"), B::statusC(QStringLiteral("C-1"))}, // dated 02/01/2020: refused now
        {QStringLiteral("[STATUS_T]"), statusT},
        {QStringLiteral("[LOTE]"), lot},
        {QStringLiteral("[STATUS_T]"), statusT},
        {QStringLiteral("[CERTIFIC]"), B::certific(QStringLiteral("C-2"))},
    };
}

// The moments of today change from one run to the other.
QString masked(QString text)
{
    text.replace(QRegularExpression(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")) +
                                    QStringLiteral(" \\d\\d:\\d\\d:\\d\\d")),
                 QStringLiteral("<now>"));
    text.replace(
        QRegularExpression(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("T[0-9:.]+")),
        QStringLiteral("<now>"));
    return text;
}

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// One side of the comparison: its own database and log folder.
struct Side
{
    TestHome home;
    QTemporaryDir logs;
    Database db;
    ScriptedMessenger msg;
    QStringList results; // "inserted"/"updated"/"failed" per record

    explicit Side(const QString &connection)
        : db(connection)
    {
        home.open(db);
        db.execute(QStringLiteral("insert into STATUS_T (SiglaCertificador, NumCertif, Importado, MarcaProd, "
                                  "ModeloProd, SeqEvento, Evento) values ('OCT', 'X-1', 1, 'M', 'M', 1000, 'INC')"));
    }

    // Writes every record as the import run does: the row, the inclusion row
    // after an insert, the history control row after every write.
    void write(ImportSession *session)
    {
        for (const Record &r : scenario()) {
            auto d = ImportDescriptors::createForHeader(r.header, Sigla, QStringLiteral("imp"));
            d->setLogDir(logs.path());
            d->setMessenger(&msg);
            d->setSession(session);
            for (auto it = r.values.begin(); it != r.values.end(); ++it)
                d->itemByName(it.key())->value = it.value();
            d->itemByName(QStringLiteral("SiglaCertificador"))->value = Sigla;
            d->Validate();
            QVERIFY2(d->isValid(), qPrintable(readAll(logs.filePath(QStringLiteral("Log.txt")))));
            const TWriteResult w = d->WriteRow(db);
            if (w.succeeded && w.inserted)
                PostImport::writeAutomaticStatusRow(db, *d, logs.path());
            if (w.succeeded)
                PostImport::writeHistoryControlRow(db, *d, w.inserted, logs.path());
            results << (!w.succeeded     ? QStringLiteral("failed")
                            : w.inserted ? QStringLiteral("inserted")
                                         : QStringLiteral("updated"));
        }
    }

    // Every column of every row, texts quoted, NULL apart.
    QStringList rows(const QString &table)
    {
        QStringList columns;
        for (const Schema::Field &f : Schema::table(table)->fields)
            columns << f.name;
        QSqlQuery q = db.exec(QStringLiteral("select %1 from %2").arg(columns.join(QStringLiteral(", ")), table));
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < columns.size(); ++i) {
                const QVariant v = q.value(i);
                cells << (v.isNull()                             ? QStringLiteral("NULL")
                              : v.typeId() == QMetaType::QString ? QLatin1Char('\'') + v.toString() + QLatin1Char('\'')
                                                                 : v.toString());
            }
            out << masked(cells.join(QLatin1Char('|')));
        }
        out.sort();
        return out;
    }

    QList<int> sequence(const QString &table)
    {
        QList<int> out;
        QSqlQuery q = db.exec(QStringLiteral("select SeqEvento from %1 order by SeqEvento").arg(table));
        while (q.next())
            out << q.value(0).toInt();
        return out;
    }
};

}

class TestImportSession : public QObject
{
    Q_OBJECT

private slots:
    void sessionWritesTheSameRowsAndLogs()
    {
        Side plain(QStringLiteral("plain"));
        plain.write(nullptr);

        Side fast(QStringLiteral("fast"));
        {
            Transaction tx(fast.db);
            ImportSession session(fast.db);
            fast.write(&session);
            session.closeLogs();
            tx.commit();
        }

        // What the scenario is for: the moved issue date judges what follows,
        // a refused write takes no number, numbers follow the table's highest.
        QCOMPARE(fast.results,
                 (QStringList{"inserted", "inserted", "updated", "failed", "failed", "inserted", "inserted", "inserted",
                              "inserted"}));
        QCOMPARE(fast.sequence(QStringLiteral("STATUS_T")), (QList<int>{1000, 1001, 1002, 1003}));
        QCOMPARE(fast.sequence(QStringLiteral("STATUS_C")), (QList<int>{1, 2}));
        QCOMPARE(fast.sequence(QStringLiteral("STATUS_L")), (QList<int>{1}));
        const QString logBd = readAll(fast.logs.filePath(QStringLiteral("Log_BD.txt")));
        QVERIFY(logBd.contains(QStringLiteral("Não foi possível fazer a inclusão pois a data DthEntCertif é inferior "
                                              "a data emissão ou superior a data do sistema!")));
        QVERIFY(logBd.contains(QStringLiteral("Não foi possível fazer a inclusão pois a data DthStatusCertificado é "
                                              "inferior a data emissão ou superior a data do sistema!")));

        QCOMPARE(fast.results, plain.results);
        for (const char *table : {"CERTIFIC", "TIPO", "LOTE", "STATUS_C", "STATUS_T", "STATUS_L", "CTR_HISTORICO"})
            QCOMPARE(fast.rows(QLatin1String(table)), plain.rows(QLatin1String(table)));
        for (const char *log : {"Log.txt", "Log_BD.txt"})
            QCOMPARE(masked(readAll(fast.logs.filePath(QLatin1String(log)))),
                     masked(readAll(plain.logs.filePath(QLatin1String(log)))));
        QCOMPARE(fast.msg.texts(), plain.msg.texts());
    }

    void logsReachTheDiskWhenFlushedAndClosed()
    {
        TestHome home;
        Database db(QStringLiteral("logs"));
        home.open(db);
        QTemporaryDir dir;
        ImportSession session(db);
        session.appendLog(dir.path(), QStringLiteral("Log_BD.txt"), "um\n");
        session.flushLogs();
        QCOMPARE(readAll(dir.filePath(QStringLiteral("Log_BD.txt"))), QStringLiteral("um\n"));

        // Lines appended by someone else in between stay in order.
        QFile other(dir.filePath(QStringLiteral("Log_BD.txt")));
        QVERIFY(other.open(QIODevice::Append));
        other.write("dois\n");
        other.close();
        session.appendLog(dir.path(), QStringLiteral("Log_BD.txt"), "três\n");
        session.closeLogs();
        QCOMPARE(readAll(dir.filePath(QStringLiteral("Log_BD.txt"))), QStringLiteral("um\ndois\ntrês\n"));

        // Closed files can be renamed; a later line opens a new file.
        QVERIFY(QFile::rename(dir.filePath(QStringLiteral("Log_BD.txt")), dir.filePath(QStringLiteral("ERROBD.txt"))));
        session.appendLog(dir.path(), QStringLiteral("Log_BD.txt"), "quatro\n");
        session.closeLogs();
        QCOMPARE(readAll(dir.filePath(QStringLiteral("Log_BD.txt"))), QStringLiteral("quatro\n"));
    }
};

QTEST_GUILESS_MAIN(TestImportSession)
#include "test_importsession.moc"
