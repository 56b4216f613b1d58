// Preparation of remittances on the demonstration database: what goes into
// each delta table (read back by pxlib itself), numbering, the package and
// the event log.
#include "base/codecs.h"
#include "base/fileutil.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/paradoxtable.h"
#include "remessa/deltatables.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessapreparation.h"
#include "remessa/remittancequeries.h"
#include "shell/appversion.h"
#include "support/fulldisk.h"
#include "support/pxlibreader.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = RemessaPreparation::Outcome;
using Type = RemessaPreparation::Type;

class TestPreparation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
    ScriptedMessenger m_msg;
    QTemporaryDir m_out;
    int m_unpacked = 0;

    QString transferDir() { return RemessaControl::workingValues(*m_db).transferDir; }
    int count(const QString &sql, const QVariantList &p = {}) { return m_db->scalar(sql, p).toInt(); }
    int events() { return count(QStringLiteral("SELECT count(*) FROM CONTROLE")); }

    RemessaPreparation::Result prepare(Type type = Type::Partial, RemessaPreparation::Progress progress = {},
                                       QDate today = QDate::currentDate())
    {
        const auto newest = RemessaControl::newest(*m_db);
        RemessaPreparation::Settings s;
        s.transferDir = transferDir();
        s.acronym = RemessaControl::workingValues(*m_db).acronym;
        s.currentNumber = newest ? newest->number : QStringLiteral("0000000000");
        s.user = QStringLiteral("Administrador");
        s.today = today;
        return RemessaPreparation::run(*m_db, m_msg, s, type, progress);
    }

    // The regulator accepted everything approved: replicas equal the data.
    void acceptAll()
    {
        for (const auto &e : RemittanceQueries::entries()) {
            m_db->execute(QStringLiteral("DELETE FROM ") + e.replica->name);
            const auto st = RemittanceQueries::statement(e, RemittanceQueries::Kind::Complete, m_db->engine());
            QVariantList p;
            for (int i = 0; i < st.approvalParams; ++i)
                p << true;
            m_db->execute(QStringLiteral("INSERT INTO %1 %2").arg(e.replica->name, st.sql), p);
        }
    }

    // Unpacks a package into a fresh folder, checked by Info-ZIP first.
    QString unpack(const QString &zip)
    {
        QProcess t;
        t.start(QStringLiteral("unzip"), {QStringLiteral("-t"), zip});
        t.waitForFinished();
        if (t.exitCode() != 0)
            return QString();
        const QString dir = m_out.filePath(QString::number(++m_unpacked));
        QDir().mkpath(dir);
        QProcess u;
        u.start(QStringLiteral("unzip"), {QStringLiteral("-q"), zip, QStringLiteral("-d"), dir});
        u.waitForFinished();
        return u.exitCode() == 0 ? dir : QString();
    }

    static QVariant normal(const QVariant &v, int type)
    {
        if (v.isNull())
            return QVariant();
        switch (type) {
        case pxfTimestamp: return v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
        case pxfLogical: return v.toBool();
        case pxfShort:
        case pxfLong: return v.toLongLong();
        default: return v.toString().isEmpty() ? QVariant() : QVariant(v.toString());
        }
    }

    // Every row of a delta table, as pxlib reads it, is the row of the source
    // (inclusion, alteration) or replica (exclusion) with the same key; the
    // structure is the table's own. Returns the rows.
    QList<QVariantList> checkDelta(const QString &dir, const QString &file)
    {
        const QString stem = file.left(file.size() - 3);
        const QString table = stem.left(stem.size() - 2);
        const bool excluded = stem.endsWith(QLatin1String("_E"));
        const auto *source = Schema::table(excluded ? QStringLiteral("REP_") + table.toUpper() : table);
        const PxlibTable px = readWithPxlib(QDir(dir).filePath(file));
        [&] {
            QVERIFY2(px.ok, qPrintable(file));
            QCOMPARE(px.fields.size(), source->fields.size());
            for (int i = 0; i < px.fields.size(); ++i) {
                const Paradox::Field want = Paradox::fieldFor(source->fields.at(i));
                QCOMPARE(px.fields.at(i).name, want.name);
                QCOMPARE(px.fields.at(i).type, int(want.type));
                QCOMPARE(px.fields.at(i).size, want.size);
            }
            const Schema::RemittanceEntry *entry = nullptr;
            for (const auto &e : Schema::remittanceList())
                if (e.name == table)
                    entry = &e;
            QVERIFY(entry);
            for (const QVariantList &row : px.rows) {
                QStringList where;
                QVariantList keys;
                for (const QString &k : entry->key) {
                    where << QStringLiteral("%1 = ?").arg(k);
                    keys << row.at(px.indexOf(k));
                }
                QSqlQuery q = m_db->exec(
                    QStringLiteral("SELECT * FROM %1 WHERE %2").arg(source->name, where.join(" AND ")), keys);
                QVERIFY2(q.next(), qPrintable(file + QStringLiteral(": row not found")));
                for (int i = 0; i < px.fields.size(); ++i)
                    QCOMPARE(normal(row.at(i), px.fields.at(i).type), normal(q.value(i), px.fields.at(i).type));
            }
        }();
        return px.rows;
    }

    // The package's entries, each delta table checked.
    QStringList checkPackage(const QString &zip, QString *dirOut = nullptr)
    {
        const QString dir = unpack(zip);
        if (dir.isEmpty())
            return {QStringLiteral("<unzip failed>")};
        QStringList names = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &n : names)
            if (n.endsWith(QLatin1String(".DB")))
                checkDelta(dir, n);
        if (dirOut)
            *dirOut = dir;
        return names;
    }

    void approveOnly(const QString &number)
    {
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = CASE WHEN NumCertif = ? THEN 1 ELSE 0 END"),
                      {number});
    }
    QString someCertificate()
    {
        return m_db->scalar(QStringLiteral("SELECT NumCertif FROM CERTIFIC ORDER BY NumCertif LIMIT 1")).toString();
    }

private slots:
    void init()
    {
        m_db.reset();
        m_home = std::make_unique<TestHome>(true);
        m_db = std::make_unique<Database>(QStringLiteral("prep-test"));
        m_home->open(*m_db);
        m_msg.messages.clear();
    }
    void cleanup()
    {
        m_db.reset();
        m_home.reset();
    }

    void numbering()
    {
        const QDate d(2026, 12, 8);
        QCOMPARE(RemessaPreparation::nextNumber(QStringLiteral("0000000000"), d), QStringLiteral("2026120801"));
        QCOMPARE(RemessaPreparation::nextNumber(QStringLiteral("2026120809"), d), QStringLiteral("2026120810"));
        QCOMPARE(RemessaPreparation::nextNumber(QStringLiteral("2026120842"), d), QStringLiteral("2026120843"));
        QCOMPARE(RemessaPreparation::nextNumber(QStringLiteral("2026120799"), d), QStringLiteral("2026120801"));
        QCOMPARE(RemessaPreparation::nextNumber(QStringLiteral("2026120898"), d), QStringLiteral("2026120899"));
        QVERIFY(RemessaPreparation::nextNumber(QStringLiteral("2026120899"), d).isEmpty());
    }

    void aHundredthRemittanceOfADayIsRefused()
    {
        const QString today = FileUtil::dateStamp();
        RemessaControl::appendEvent(*m_db, today + QStringLiteral("99"), QStringLiteral("C"), QStringLiteral("OK"),
                                    QStringLiteral("x"));
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Refused);
        QVERIFY(m_msg.texts().join("|").contains(QStringLiteral("99 remessas")));
        QCOMPARE(events(), 1);
        QVERIFY(QDir(transferDir()).entryList(QDir::Files).isEmpty());
        // The one after a day's ninth is the tenth.
        m_db->execute(QStringLiteral("DELETE FROM CONTROLE"));
        RemessaControl::appendEvent(*m_db, today + QStringLiteral("09"), QStringLiteral("C"), QStringLiteral("NO"),
                                    QStringLiteral("x"));
        const auto tenth = prepare();
        QCOMPARE(tenth.outcome, Outcome::Prepared);
        QCOMPARE(tenth.remittance.number, today + QStringLiteral("10"));
    }

    void firstPartialRemittanceCarriesTheApprovedDataOnly()
    {
        const QString cert = someCertificate();
        approveOnly(cert);
        QStringList ops;
        int steps = 0;
        RemessaPreparation::Progress p;
        p.operation = [&](const QString &o) { ops << o; };
        p.step = [&] { ++steps; };
        const auto r = prepare(Type::Partial, p);
        QCOMPARE(r.outcome, Outcome::Prepared);
        QCOMPARE(r.remittance.number, FileUtil::dateStamp() + QStringLiteral("01"));
        const QString acronym = RemessaControl::workingValues(*m_db).acronym;
        QCOMPARE(r.remittance.packageName,
                 QStringLiteral("OC-") + acronym + r.remittance.number + QStringLiteral(".zip"));
        QCOMPARE(steps, 87);
        QCOMPARE(ops.mid(0, 3), (QStringList{"Inclusão", "Alteração", "Deleção"}));
        // Only the package is left in the folder.
        QCOMPARE(QDir(transferDir()).entryList(QDir::Files), QStringList{r.remittance.packageName});
        QString dir;
        const QStringList names = checkPackage(r.remittance.packagePath, &dir);
        QVERIFY(names.contains(QStringLiteral("Certific_I.DB")));
        QVERIFY(names.contains(QStringLiteral("Sistema.db")));
        QVERIFY(names.contains(QStringLiteral("CONFIG_LOCAL_I.DB")));
        for (const QString &n : names)
            QVERIFY2(!n.endsWith(QLatin1String("_A.DB")) && !n.endsWith(QLatin1String("_E.DB")), qPrintable(n));
        const PxlibTable certs = readWithPxlib(QDir(dir).filePath(QStringLiteral("Certific_I.DB")));
        QCOMPARE(certs.rows.size(), 1);
        QCOMPARE(certs.rows.at(0).at(1).toString(), cert);
        // Rows of other certificates stay home.
        const int approvedEvents = count(QStringLiteral("SELECT count(*) FROM STATUS_C WHERE NumCertif = ?"), {cert});
        if (approvedEvents)
            QCOMPARE(readWithPxlib(QDir(dir).filePath(QStringLiteral("Status_C_I.DB"))).rows.size(), approvedEvents);
        const PxlibTable marker = readWithPxlib(QDir(dir).filePath(QStringLiteral("Sistema.db")));
        QCOMPARE(marker.fields.size(), 1);
        QCOMPARE(marker.fields.at(0).name, QStringLiteral("Versao"));
        QCOMPARE(marker.fields.at(0).size, 50);
        QCOMPARE(marker.rows.size(), 1);
        QCOMPARE(Codecs::password(Codecs::Decode, marker.rows.at(0).at(0).toString()), AppVersion::number());
        // The event.
        const auto last = RemessaControl::events(*m_db, r.remittance.number);
        QCOMPARE(last.size(), 1);
        QCOMPARE(last.at(0).event, QStringLiteral("PR"));
        QCOMPARE(last.at(0).type, QStringLiteral("C"));
        QCOMPARE(last.at(0).user, QStringLiteral("Administrador"));
        // Flat entries.
        QProcess l;
        l.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), r.remittance.packagePath});
        l.waitForFinished();
        QVERIFY(!QString::fromUtf8(l.readAllStandardOutput()).contains(QLatin1Char('/')));
    }

    // The package is one state of the data: a certificate another
    // workstation approves while the walk is under way is in none of its
    // tables (the file keeps the other writer out until the end; a server
    // lets it commit).
    void aChangeCommittedDuringTheWalkStaysOutOfThePackage()
    {
        const QString cert = someCertificate();
        approveOnly(cert);
        const QString late =
            m_db->scalar(
                    QStringLiteral("SELECT NumCertif FROM CERTIFIC WHERE NumCertif <> ? ORDER BY NumCertif LIMIT 1"),
                    {cert})
                .toString();
        QVERIFY(!late.isEmpty());
        Database other(QStringLiteral("outra-estacao"));
        m_home->open(other);
        int written = -1;
        bool busy = false;
        RemessaPreparation::Progress p;
        p.table = [&](const QString &) {
            if (written >= 0 || busy)
                return;
            try {
                written = other.execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 1 WHERE NumCertif = ?"), {late});
            } catch (const DbError &e) {
                busy = e.isBusy();
            }
        };
        const auto r = prepare(Type::Partial, p);
        QCOMPARE(r.outcome, Outcome::Prepared);
        if (m_db->onServer())
            QCOMPARE(written, 1);
        else
            QVERIFY(busy);
        QString dir;
        const QStringList names = checkPackage(r.remittance.packagePath, &dir);
        QVERIFY(names.contains(QStringLiteral("Certific_I.DB")));
        const PxlibTable certs = readWithPxlib(QDir(dir).filePath(QStringLiteral("Certific_I.DB")));
        QCOMPARE(certs.rows.size(), 1);
        QCOMPARE(certs.rows.at(0).at(1).toString(), cert);
    }

    void nothingToSendLeavesNoPackageAndNoEvent()
    {
        acceptAll();
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::NothingNew);
        QCOMPARE(m_msg.messages.last().text, QStringLiteral("Nenhuma tabela nova foi criada!"));
        QCOMPARE(m_msg.messages.last().caption, QStringLiteral("Preparação de Remessas"));
        QCOMPARE(events(), 0);
        QVERIFY(QDir(transferDir()).entryList({QStringLiteral("*.zip")}, QDir::Files).isEmpty());
    }

    void changesTravelOnlyOnceApprovedAndNullsCount()
    {
        const QString cert = someCertificate();
        approveOnly(cert);
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'antes' WHERE NumCertif = ?"), {cert});
        acceptAll();
        // A change clears the approval: nothing goes.
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'depois', Aprovado = 0 WHERE NumCertif = ?"),
                      {cert});
        m_db->execute(QStringLiteral("UPDATE REP_CERTIFIC SET Aprovado = 0 WHERE NumCertif = ?"), {cert});
        QCOMPARE(prepare().outcome, Outcome::NothingNew);
        // Approved, it goes as an alteration.
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 1 WHERE NumCertif = ?"), {cert});
        auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QString dir;
        QVERIFY(checkPackage(r.remittance.packagePath, &dir).contains(QStringLiteral("Certific_A.DB")));
        PxlibTable a = readWithPxlib(QDir(dir).filePath(QStringLiteral("Certific_A.DB")));
        QCOMPARE(a.rows.size(), 1);
        QCOMPARE(a.rows.at(0).at(a.indexOf("Observacoes")).toString(), QStringLiteral("depois"));

        // Cleared to NULL and back: each is an alteration.
        RemessaControl::appendEvent(*m_db, r.remittance.number, QStringLiteral("C"), QStringLiteral("OK"),
                                    QStringLiteral("x"));
        acceptAll();
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = NULL WHERE NumCertif = ?"), {cert});
        r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QVERIFY(checkPackage(r.remittance.packagePath, &dir).contains(QStringLiteral("Certific_A.DB")));
        a = readWithPxlib(QDir(dir).filePath(QStringLiteral("Certific_A.DB")));
        QCOMPARE(a.rows.size(), 1);
        QVERIFY(a.rows.at(0).at(a.indexOf("Observacoes")).isNull());
        RemessaControl::appendEvent(*m_db, r.remittance.number, QStringLiteral("C"), QStringLiteral("OK"),
                                    QStringLiteral("x"));
        acceptAll();
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'de novo' WHERE NumCertif = ?"), {cert});
        r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QVERIFY(checkPackage(r.remittance.packagePath, &dir).contains(QStringLiteral("Certific_A.DB")));
    }

    // A row holding text Windows-1252 lacks would reach the regulator as "?":
    // the preparation refuses, naming table, key and field, and leaves no
    // package, no event and no delta table behind, not even those of the
    // tables walked before it.
    void textOutsideWindows1252StopsThePreparationAndWritesNothing()
    {
        const QString cert = someCertificate();
        approveOnly(cert);
        acceptAll();
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Observacoes = 'depois' WHERE NumCertif = ?"), {cert});
        const int seq = count(QStringLiteral("SELECT COALESCE(MAX(SeqEvento), 0) + 1 FROM STATUS_C"));
        m_db->execute(
            QStringLiteral("INSERT INTO STATUS_C (SiglaCertificador, NumCertif, SeqEvento, Evento, Justificativa, "
                           "HistoricoSis, StatusCertificado, DthStatusCertificado, DthUltAtualiz, UsuResp) "
                           "SELECT SiglaCertificador, NumCertif, ?, 'ALT', 'Şişecam Ω', '1', 'A', "
                           "DataEmissao, DataEmissao, 'adm' FROM CERTIFIC WHERE NumCertif = ?"),
            {seq, cert});
        const int before = events();
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Refused);
        const QString text = m_msg.messages.last().text;
        for (const QString &part : {QStringLiteral("tabela STATUS_C"), QStringLiteral("NumCertif = ") + cert,
                                    QStringLiteral("SeqEvento = %1").arg(seq), QStringLiteral("campo Justificativa"),
                                    QStringLiteral("\"Ş\"")})
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" / ") + text));
        QCOMPARE(m_msg.messages.last().kind, ScriptedMessenger::Error);
        QCOMPARE(r.error, text);
        QCOMPARE(events(), before);
        QCOMPARE(QDir(transferDir()).entryList(QDir::Files), QStringList());

        // Corrected, the same changes go.
        m_db->execute(QStringLiteral("UPDATE STATUS_C SET Justificativa = 'Sisecam' WHERE SeqEvento = ?"), {seq});
        QCOMPARE(prepare().outcome, Outcome::Prepared);
    }

    void aCertificateDeletedHereIsSentAsExcluded()
    {
        const QString cert = someCertificate();
        approveOnly(cert);
        acceptAll();
        m_db->execute(QStringLiteral("DELETE FROM CERTIFIC WHERE NumCertif = ?"), {cert});
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QString dir;
        const QStringList names = checkPackage(r.remittance.packagePath, &dir);
        QVERIFY(names.contains(QStringLiteral("Certific_E.DB")));
        const PxlibTable e = readWithPxlib(QDir(dir).filePath(QStringLiteral("Certific_E.DB")));
        QCOMPARE(e.rows.size(), 1);
        QCOMPARE(e.rows.at(0).at(1).toString(), cert);
    }

    void autoIncrementArrivesAsLongWithItsValues()
    {
        m_db->execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0"));
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QString dir;
        QVERIFY(checkPackage(r.remittance.packagePath, &dir).contains(QStringLiteral("SIGNATARIOS_I.DB")));
        const PxlibTable s = readWithPxlib(QDir(dir).filePath(QStringLiteral("SIGNATARIOS_I.DB")));
        QCOMPARE(s.fields.at(0).type, int(pxfLong));
        QList<qlonglong> ids;
        for (const auto &row : s.rows)
            ids << row.at(0).toLongLong();
        QSqlQuery q = m_db->exec(QStringLiteral("SELECT ID_Signatario FROM SIGNATARIOS ORDER BY ID_Signatario"));
        QList<qlonglong> want;
        while (q.next())
            want << q.value(0).toLongLong();
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids, want);
    }

    void deltaFilesAlreadyThereAreAppendedToAndClearedBeforeARun()
    {
        QTemporaryDir dir;
        {
            auto w = DeltaTables::open(dir.path(), QStringLiteral("Empresa"), DeltaTables::Inclusion);
            w->appendRow(QVariantList(w->fields().size()));
            w->close();
        }
        QCOMPARE(DeltaTables::create(dir.path(), QStringLiteral("Empresa"), DeltaTables::Inclusion),
                 QStringLiteral("Empresa_I"));
        {
            auto w = DeltaTables::open(dir.path(), QStringLiteral("Empresa"), DeltaTables::Inclusion);
            QCOMPARE(w->rowCount(), 1);
            w->appendRow(QVariantList(w->fields().size()));
            w->close();
        }
        QCOMPARE(readWithPxlib(DeltaTables::filePath(dir.path(), QStringLiteral("Empresa_I"))).rows.size(), 2);
        QCOMPARE(DeltaTables::tableName(QStringLiteral("Tipo"), DeltaTables::Replica), QStringLiteral("REP_Tipo"));
        QCOMPARE(DeltaTables::tableName(QStringLiteral("Tipo"), DeltaTables::Bare), QStringLiteral("Tipo"));

        // A stale delta file in the transfer folder does not reach the package.
        QFile::copy(DeltaTables::filePath(dir.path(), QStringLiteral("Empresa_I")),
                    DeltaTables::filePath(transferDir(), QStringLiteral("Empresa_I")));
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QString out;
        checkPackage(r.remittance.packagePath, &out); // every row matches a company: no stale NULL rows
        const PxlibTable e = readWithPxlib(QDir(out).filePath(QStringLiteral("Empresa_I.DB")));
        for (const auto &row : e.rows)
            QVERIFY(!row.at(0).isNull());
    }

    void interruptingLeavesTheVersionMarkerAndLogsNothing()
    {
        int tables = 0;
        RemessaPreparation::Progress p;
        p.table = [&](const QString &) { ++tables; };
        p.interrupted = [&] { return tables >= 5; };
        QStringList ops;
        p.operation = [&](const QString &o) { ops << o; };
        const auto r = prepare(Type::Partial, p);
        QCOMPARE(r.outcome, Outcome::Interrupted);
        QCOMPARE(RemessaPreparation::resultText(r.outcome), QStringLiteral("Preparação Interrompida pelo Usuário."));
        QCOMPARE(ops.last(), QStringLiteral("Erro.!"));
        QCOMPARE(tables, 5);
        QVERIFY(QFileInfo::exists(QDir(transferDir()).filePath(QStringLiteral("Sistema.db"))));
        QVERIFY(QDir(transferDir()).entryList({QStringLiteral("*.zip")}, QDir::Files).isEmpty());
        QCOMPARE(events(), 0);
    }

    void completeRemittanceSendsEveryApprovedRowAsInclusions()
    {
        const auto r = prepare(Type::Complete);
        QCOMPARE(r.outcome, Outcome::Prepared);
        QVERIFY(r.remittance.packageName.startsWith(QStringLiteral("OT-")));
        QString dir;
        const QStringList names = checkPackage(r.remittance.packagePath, &dir);
        QVERIFY(!names.contains(QStringLiteral("Sistema.db")));
        for (const QString &n : names)
            QVERIFY2(n.endsWith(QLatin1String("_I.DB")), qPrintable(n));
        QCOMPARE(readWithPxlib(QDir(dir).filePath(QStringLiteral("Certific_I.DB"))).rows.size(),
                 count(QStringLiteral("SELECT count(*) FROM CERTIFIC WHERE Aprovado = 1")));
        QCOMPARE(RemessaControl::events(*m_db, r.remittance.number).at(0).type, QStringLiteral("T"));
    }

    void missingTransferFolderIsRefused()
    {
        m_db->execute(QStringLiteral("UPDATE CONFIG_LOCAL SET DirLocalTransf = ?"), {m_out.filePath("nao-existe")});
        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Refused);
        QCOMPARE(m_msg.messages.last().text,
                 QStringLiteral("Diretório Local de Transferência de Remessas não foi encontrado."));
        QCOMPARE(m_msg.messages.last().caption, QStringLiteral("Erro de Configuração"));
        QCOMPARE(events(), 0);
    }

    // A full disk: the failure says so, no delta table stays behind, nothing
    // is logged; with room again the same run goes through.
    void aFullDiskLeavesNothingAndSaysSo()
    {
        FullDisk disk(1024 * 1024);
        REQUIRE_MOUNTED(disk);
        m_db->execute(QStringLiteral("UPDATE CONFIG_LOCAL SET DirLocalTransf = ?"), {disk.path()});
        disk.fill(24 * 1024);
        const auto r = prepare(Type::Complete);
        QCOMPARE(r.outcome, Outcome::Failed);
        QVERIFY2(r.error.contains(QStringLiteral("não há espaço livre no disco")), qPrintable(r.error));
        QVERIFY2(!r.error.contains(QStringLiteral("Unknown error")), qPrintable(r.error));
        QCOMPARE(events(), 0);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList());

        QVERIFY(QFile::remove(QDir(disk.path()).filePath(QStringLiteral(".filler"))));
        const auto again = prepare(Type::Complete);
        QCOMPARE(again.outcome, Outcome::Prepared);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{again.remittance.packageName});
    }

    // The scratch archive of a run killed while zipping goes with the next
    // run; the package made is its owner's only.
    void aKilledRunsScratchArchiveGoesAndPackagesAreTheOwnersOnly()
    {
        const QString acronym = RemessaControl::workingValues(*m_db).acronym;
        const QString scratch = transferDir() + QStringLiteral("OC-") + acronym + FileUtil::dateStamp() +
            QStringLiteral("01.zip.q7Rx2L");
        QFile killed(scratch);
        QVERIFY(killed.open(QIODevice::WriteOnly));
        killed.write(QByteArray(1000, 'z'));
        killed.close();
        const QString someoneElses = transferDir() + QStringLiteral("notas.txt");
        QFile other(someoneElses);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        const auto r = prepare();
        QCOMPARE(r.outcome, Outcome::Prepared);
        QCOMPARE(QDir(transferDir()).entryList(QDir::Files, QDir::Name),
                 (QStringList{r.remittance.packageName, "notas.txt"}));
        QCOMPARE(
            QFileInfo(r.remittance.packagePath).permissions() &
                (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
            QFileDevice::Permissions());
    }

    // A transfer folder configured relative to the program folder is found
    // there whatever the current folder is.
    void aRelativeTransferFolderIsTakenFromTheProgramFolder()
    {
        QVERIFY(QDir(m_home->dir()).mkpath(QStringLiteral("Remessas")));
        m_db->execute(QStringLiteral("UPDATE CONFIG_LOCAL SET DirLocalTransf = 'Remessas'"));
        const QString previous = QDir::currentPath();
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        const auto r = prepare();
        QDir::setCurrent(previous);
        QCOMPARE(r.outcome, Outcome::Prepared);
        QCOMPARE(QFileInfo(r.remittance.packagePath).absolutePath(),
                 QDir(m_home->dir()).filePath(QStringLiteral("Remessas")));
        QVERIFY(QFileInfo(r.remittance.packagePath).isFile());
        QVERIFY(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }

    void everyStatementProbesInsteadOfScanning()
    {
        if (m_db->onServer())
            QSKIP("the plan is the file engine's: the server plans by its own statistics");
        using K = RemittanceQueries::Kind;
        for (const auto &e : RemittanceQueries::entries())
            for (K k : {K::Inclusion, K::Alteration, K::Exclusion, K::Complete}) {
                const auto st = RemittanceQueries::statement(e, k, m_db->engine());
                QVariantList p;
                for (int i = 0; i < st.approvalParams; ++i)
                    p << true;
                QSqlQuery q = m_db->exec(QStringLiteral("EXPLAIN QUERY PLAN ") + st.sql, p);
                int scans = 0;
                QStringList plan;
                while (q.next()) {
                    const QString d = q.value(3).toString();
                    plan << d;
                    if (d.startsWith(QLatin1String("SCAN")) && !d.contains(QLatin1String("SUBQUERY")))
                        ++scans;
                }
                // One outer scan per select of the statement.
                QVERIFY2(scans <= (e.scope == RemittanceQueries::Scope::Product && k != K::Exclusion ? 3 : 1),
                         qPrintable(e.entry->name + QStringLiteral(": ") + plan.join(" | ")));
            }
    }
};

QTEST_GUILESS_MAIN(TestPreparation)
#include "test_preparation.moc"
