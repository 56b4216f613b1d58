// The batch tool killed outright (SIGKILL) at random moments of real work:
// the database must always be whole, hold all of the operation or none of
// it, and the operation must succeed when run again.
#include "base/codecs.h"
#include "db/database.h"
#include "remessa/remessacontrol.h"
#include "shell/configlocal.h"
#include "support/clirun.h"
#include "support/importfilebuilder.h"
#include "support/refpackage.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <functional>
#include <sqlite3.h>

using B = ImportFileBuilder;

namespace {

constexpr int KillsPerOperation = 20;
// Certificates in the large import file; the later operations work on them.
constexpr int Certificates = 300;
constexpr int CountryRows = 10000;

struct Run
{
    int code = -1;
    QString out, err;
    qint64 ms = 0;
};

// Table name -> row count and a digest of its rows, sorted. Values carrying
// today's date are the clock's, not the operation's, and are masked.
using Snapshot = QMap<QString, QPair<int, QByteArray>>;

QString masked(const QString &value)
{
    static const QStringList clock = [] {
        QStringList out;
        const QDate today = QDate::currentDate();
        for (const QDate &d : {today, today.addDays(-1), QDateTime::currentDateTimeUtc().date()})
            out << d.toString(Qt::ISODate) << d.toString(QStringLiteral("dd/MM/yyyy"));
        return out;
    }();
    if (value.size() < 10)
        return value;
    for (const QString &c : clock)
        if (value.contains(c))
            return QStringLiteral("<hoje>");
    return value;
}

struct Engine
{
    sqlite3 *db = nullptr;
    explicit Engine(const QString &file)
    {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            db = nullptr;
        }
        if (db)
            sqlite3_busy_timeout(db, 5000);
    }
    ~Engine() { sqlite3_close(db); }
    QList<QStringList> rows(const QString &sql) const
    {
        QList<QStringList> out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return {{QStringLiteral("ERRO: ") + QString::fromUtf8(sqlite3_errmsg(db))}};
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_NULL)
                    row << QStringLiteral("<nulo>");
                else if (sqlite3_column_type(st, c) == SQLITE_BLOB)
                    row << QString::fromLatin1(
                        QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c))
                            .toHex());
                else
                    row << masked(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c))));
            }
            out << row;
        }
        if (rc != SQLITE_DONE)
            out << QStringList{QStringLiteral("ERRO: ") + QString::fromUtf8(sqlite3_errmsg(db))};
        sqlite3_finalize(st);
        return out;
    }
};

QString integrity(const QString &file)
{
    Engine e(file);
    if (!e.db)
        return QStringLiteral("não abre");
    QStringList lines;
    for (const QStringList &r : e.rows(QStringLiteral("PRAGMA integrity_check")))
        lines << r.join(QLatin1Char(' '));
    return lines.join(QLatin1Char('\n'));
}

Snapshot snapshot(const QString &file)
{
    Snapshot s;
    Engine e(file);
    if (!e.db)
        return s;
    for (const QStringList &t :
         e.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"))) {
        // The step marker of a killed program is a lock, not data: the next
        // run takes it over (the reruns below show that it does).
        if (t.first().compare(QLatin1String("CONTROLE_ETAPA"), Qt::CaseInsensitive) == 0)
            continue;
        QStringList lines;
        for (const QStringList &r : e.rows(QStringLiteral("SELECT * FROM \"%1\"").arg(t.first())))
            lines << r.join(QChar(0x1f));
        lines.sort();
        s.insert(t.first(),
                 {int(lines.size()),
                  QCryptographicHash::hash(lines.join(QChar(0x1e)).toUtf8(), QCryptographicHash::Sha256)});
    }
    return s;
}

QStringList differences(const Snapshot &a, const Snapshot &b)
{
    QStringList out;
    for (auto it = a.begin(); it != a.end(); ++it)
        if (b.value(it.key()) != it.value())
            out << QStringLiteral("%1 (%2 -> %3 linhas)")
                       .arg(it.key())
                       .arg(it.value().first)
                       .arg(b.value(it.key()).first);
    for (auto it = b.begin(); it != b.end(); ++it)
        if (!a.contains(it.key()))
            out << it.key();
    return out;
}

bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir src(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(src.relativeFilePath(path));
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

bool restore(const QString &from, const QString &to)
{
    QDir(to).removeRecursively();
    return copyTree(from, to);
}

// One operation of the batch tool as the crash test runs it.
struct Operation
{
    QString name;
    QStringList args; // after "--home W --user admin" are added
    int successCode = 0;
    bool changesContent = true;
    QString beforeTemplate; // a copy of the program folder before it
    // A check of the files after a kill: empty when sound.
    std::function<QString()> filesWhole;
};

}

class TestCrashConsistency : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_home; // every operation runs here: the configured folders point inside it
    QString m_inbox; // the import file's folder
    QString m_origin; // the reference package's folder
    QStringList m_summary;

    QString templ(const QString &name) const { return m_root.filePath(QStringLiteral("modelo-") + name); }
    QString dbFile() const { return m_home + QStringLiteral("/db/bdocc.mdb"); }

    QStringList signedIn(const QStringList &args) const
    {
        const int at = args.first() == QLatin1String("remessa") || args.first() == QLatin1String("tabelas") ? 2 : 1;
        return args.mid(0, at) + CliRun::signedIn(m_home) + args.mid(at);
    }

    QProcess *start(const QStringList &args)
    {
        auto *p = new QProcess(this);
        CliRun::start(*p, signedIn(args));
        return p;
    }

    Run cli(const QStringList &args)
    {
        QElapsedTimer t;
        t.start();
        const CliRun::Result r = CliRun::run(signedIn(args));
        return {r.code, r.out, r.err, t.elapsed()};
    }

    // Kills the operation KillsPerOperation times. After a kill that left
    // none of it, the next attempt runs on what the kill left (stray files
    // included): one that finishes is the rerun, and must give what an
    // uninterrupted run gives.
    void crash(const Operation &op)
    {
        QVERIFY(restore(op.beforeTemplate, m_home));
        const Snapshot before = snapshot(dbFile());
        QVERIFY(!before.isEmpty());
        const Run whole = cli(op.args);
        QVERIFY2(whole.code == op.successCode, qPrintable(op.name + ": " + whole.out + whole.err));
        const Snapshot after = snapshot(dbFile());
        QVERIFY2((before != after) == op.changesContent, qPrintable(op.name));
        const QString afterTemplate = templ(op.name + QStringLiteral("-depois"));
        QVERIFY(restore(m_home, afterTemplate));

        QRandomGenerator random(20261209u + quint32(qHash(op.name)));
        int kills = 0, attempts = 0, none = 0, all = 0, reruns = 0;
        bool killedBefore = false; // the folder holds what a kill left
        QVERIFY(restore(op.beforeTemplate, m_home));
        while (kills < KillsPerOperation || killedBefore) {
            QVERIFY2(++attempts < KillsPerOperation * 5, qPrintable(op.name + QStringLiteral(": poucas mortes")));
            const bool mustFinish = kills >= KillsPerOperation;
            const int delay = int(random.bounded(qMax<qint64>(whole.ms * 5 / 4, 20)));
            QProcess *p = start(op.args);
            QVERIFY(p->waitForStarted());
            if (mustFinish || p->waitForFinished(delay)) {
                QVERIFY(p->state() == QProcess::NotRunning || p->waitForFinished(120000));
                const int code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
                const QString said = QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError());
                delete p;
                const QString where = op.name +
                    (killedBefore ? QStringLiteral(", execução após a morte %1").arg(kills)
                                  : QStringLiteral(", execução inteira"));
                QVERIFY2(code == op.successCode, qPrintable(where + ": " + said));
                QVERIFY2(snapshot(dbFile()) == after,
                         qPrintable(where + ": " + differences(after, snapshot(dbFile())).join(QStringLiteral(", "))));
                if (killedBefore)
                    ++reruns;
                killedBefore = false;
                QVERIFY(restore(op.beforeTemplate, m_home));
                continue;
            }
            p->kill();
            QVERIFY(p->waitForFinished(10000));
            delete p;
            ++kills;
            const QString where = QStringLiteral("%1, morte %2 após %3 ms").arg(op.name).arg(kills).arg(delay);

            QVERIFY2(QFile::exists(dbFile()), qPrintable(where + ": bdocc.mdb sumiu"));
            const QString check = integrity(dbFile());
            QVERIFY2(check == QLatin1String("ok"), qPrintable(where + ": " + check));
            if (op.filesWhole) {
                const QString problem = op.filesWhole();
                QVERIFY2(problem.isEmpty(), qPrintable(where + ": " + problem));
            }
            const Snapshot now = snapshot(dbFile());
            if (op.changesContent && now == after) {
                ++all;
                killedBefore = false;
                QVERIFY(restore(op.beforeTemplate, m_home));
                continue;
            }
            QVERIFY2(now == before,
                     qPrintable(where + ": parte da operação ficou na base: " +
                                differences(before, now).join(QStringLiteral(", "))));
            ++none;
            killedBefore = true;
        }
        m_summary << QStringLiteral("%1: %2 mortes (%3 ms sem interrupção), nada %4, tudo %5, %6 execuções "
                                    "completas sobre o que a morte deixou")
                         .arg(op.name)
                         .arg(kills)
                         .arg(whole.ms)
                         .arg(none)
                         .arg(all)
                         .arg(reruns);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_home = m_root.filePath(QStringLiteral("pasta"));
        m_inbox = m_home + QStringLiteral("/entrada");
        m_origin = m_home + QStringLiteral("/origem");
        const CliRun::Result init = CliRun::run({QStringLiteral("init"), QStringLiteral("--home"), m_home,
                                                 QStringLiteral("--admin-password"), QStringLiteral("admin"),
                                                 QStringLiteral("--demo")},
                                                CliRun::Options().withoutPassword().within(60000));
        QCOMPARE(init.code, 0);
        for (const char *d : {"Transf", "Sincr", "Recep", "Saida", "entrada", "origem"})
            QVERIFY(QDir(m_home).mkpath(QLatin1String(d)));
        QString sigla;
        {
            Database db(QStringLiteral("crash-setup"));
            db.open(dbFile());
            ConfigLocal config = ConfigLocalStore::read(db).value_or(ConfigLocal());
            sigla = config.siglaCertificador;
            config.dirLocalTransf = m_home + QStringLiteral("/Transf/");
            config.dirLocalSincr = m_home + QStringLiteral("/Sincr/");
            config.dirLocalRecepAux = m_home + QStringLiteral("/Recep/");
            ConfigLocalStore::save(db, config);
            // Every certificate goes in the remittance.
            db.execute(QStringLiteral("UPDATE CERTIFIC SET Completo = 1, Aprovado = 1"));
        }
        QVERIFY(!sigla.isEmpty());

        // The large import file.
        QFile file(QDir(m_inbox).filePath(B::fileName(sigla)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        B builder(sigla);
        for (int i = 1; i <= Certificates; ++i) {
            builder.completeCertificate(QStringLiteral("CRASH-%1/2026").arg(i, 5, 10, QLatin1Char('0')));
            if (i % 200 == 0)
                QVERIFY(builder.flushTo(file));
        }
        QVERIFY(builder.flushTo(file));
        file.close();

        // The reference package: a large country table and the states.
        QList<QVariantList> countries;
        for (int i = 0; i < CountryRows; ++i)
            countries << QVariantList{QString::number(46656 + i, 36).toUpper(), QStringLiteral("País %1").arg(i)};
        QVERIFY(
            RefPackage::build(m_origin, QStringLiteral("OC-TAB-2099010101.zip"),
                              {RefPackage::pais(countries), RefPackage::uf({{"XA", "Estado A"}, {"XB", "Estado B"}})}));
        QVERIFY(restore(m_home, templ(QStringLiteral("inicio"))));
    }

    void importOfALargeFile()
    {
        crash({QStringLiteral("importação"),
               {QStringLiteral("import"), m_inbox},
               0,
               true,
               templ(QStringLiteral("inicio")),
               {}});
    }

    void remittancePreparation()
    {
        // Works on the imported certificates.
        QVERIFY(restore(templ(QStringLiteral("importação-depois")), m_home));
        QVERIFY(restore(m_home, templ(QStringLiteral("preparo"))));
        crash(
            {QStringLiteral("preparação de remessa"),
             {QStringLiteral("remessa"), QStringLiteral("preparar"), QStringLiteral("--completa")},
             0,
             true,
             templ(QStringLiteral("preparo")),
             [this] {
                 // Once the database tells of the package, it is there, whole.
                 Database db(QStringLiteral("crash-package"));
                 db.open(dbFile());
                 if (!RemessaControl::newest(db))
                     return QString();
                 const QStringList zips = QDir(m_home + QStringLiteral("/Transf")).entryList({QStringLiteral("*.zip")});
                 if (zips.size() != 1)
                     return QStringLiteral("pacotes na pasta de transferência: ") + zips.join(QLatin1Char(' '));
                 QProcess unzip;
                 unzip.start(QStringLiteral("unzip"),
                             {QStringLiteral("-tqq"), m_home + QStringLiteral("/Transf/") + zips.first()});
                 if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
                     return QStringLiteral("pacote danificado: ") +
                         QString::fromUtf8(unzip.readAllStandardError() + unzip.readAllStandardOutput());
                 return QString();
             }});
    }

    void replicaFoldOfAManualResult()
    {
        QVERIFY(restore(templ(QStringLiteral("preparação de remessa-depois")), m_home));
        const Run sent = cli({QStringLiteral("remessa"), QStringLiteral("enviar"), QStringLiteral("--pasta"),
                              m_home + QStringLiteral("/Saida")});
        QVERIFY2(sent.code == 0, qPrintable(sent.out + sent.err));
        QString code;
        {
            Database db(QStringLiteral("crash-fold"));
            db.open(dbFile());
            const auto newest = RemessaControl::newest(db);
            QVERIFY(newest);
            code = Codecs::confirmation(Codecs::Encode, newest->number + QStringLiteral("OK"));
        }
        QVERIFY(restore(m_home, templ(QStringLiteral("resultado"))));
        crash({QStringLiteral("incorporação à réplica"),
               {QStringLiteral("remessa"), QStringLiteral("resultado"), QStringLiteral("--senha"), code},
               0,
               true,
               templ(QStringLiteral("resultado")),
               {}});
    }

    void referenceTableInstallation()
    {
        crash({QStringLiteral("instalação de tabelas"),
               {QStringLiteral("tabelas"), QStringLiteral("atualizar"), QStringLiteral("--pasta"), m_origin},
               0,
               true,
               templ(QStringLiteral("inicio")),
               {}});
    }

    void compaction()
    {
        crash({QStringLiteral("compactação"),
               {QStringLiteral("reparar")},
               0,
               false,
               templ(QStringLiteral("importação-depois")),
               [this] {
                   // A backup left beside the database must be a whole one.
                   const QString bkp = m_home + QStringLiteral("/db/bdoccBKP.mdb");
                   if (QFile::exists(bkp) && integrity(bkp) != QLatin1String("ok"))
                       return QStringLiteral("cópia de segurança danificada: ") + integrity(bkp);
                   return QString();
               }});
    }

    void cleanupTestCase()
    {
        for (const QString &line : m_summary)
            qInfo().noquote() << line;
        qInfo().noquote() << QStringLiteral("Consistência após SIGKILL: %1 operações × %2 mortes, %3")
                                 .arg(m_summary.size())
                                 .arg(KillsPerOperation)
                                 .arg(m_summary.size() == 5 ? QStringLiteral("todas consistentes")
                                                            : QStringLiteral("com falhas"));
    }
};

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "test_crashconsistency.moc"
