#include "remessa/remessapreparation.h"
#include "base/archive.h"
#include "base/errorlog.h"
#include "base/filereasons.h"
#include "base/fileutil.h"
#include "base/messenger.h"
#include "base/safefile.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/keypairset.h"
#include "db/paradoxtable.h"
#include "db/rowidmarks.h"
#include "remessa/deltatables.h"
#include "remessa/deltatext.h"
#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"
#include "remessa/remittancequeries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVarLengthArray>
#include <optional>

namespace {

const QString kCaption = QStringLiteral("Preparação de Remessas");

// What an earlier run left: its tables, and the scratch archive of a run
// killed while zipping.
void clearLeftovers(const QString &dir)
{
    DeltaTables::removeTables(dir);
    SafeFile::removeLeftovers(dir, QStringLiteral("*.zip"));
}

template <typename F> void call(const F &f)
{
    if (f)
        f();
}
template <typename F, typename A> void call(const F &f, const A &a)
{
    if (f)
        f(a);
}

// A delta table that comes into being with its first row.
class DeltaSink
{
public:
    DeltaSink(const QString &dir, const Schema::Table &source, const QString &table, DeltaTables::Kind kind)
        : m_dir(dir),
          m_source(source),
          m_table(table),
          m_kind(kind)
    { }

    // The first columns of the statement's current row, one per field.
    // Raises DeltaText::Unsendable for text the table cannot carry.
    void append(const Database::Statement &q)
    {
        // Each column read once, for the check and for the record.
        const int n = int(m_source.fields.size());
        m_cells.resize(n);
        for (int i = 0; i < n; ++i)
            m_cells[i] = q.cell(i);
        if (const QString problem = DeltaText::rowProblem(m_source, q, m_cells.constData()); !problem.isEmpty())
            throw DeltaText::Unsendable(problem);
        if (!m_out)
            m_out = DeltaTables::open(m_dir, m_table, m_kind);
        m_out->appendRow(q, m_cells.constData(), n);
    }
    // True when the table received rows.
    bool close()
    {
        if (!m_out)
            return false;
        m_out->close();
        return true;
    }

private:
    QString m_dir;
    const Schema::Table &m_source;
    QString m_table;
    DeltaTables::Kind m_kind;
    std::unique_ptr<ParadoxWriter> m_out;
    QVarLengthArray<Database::Statement::Cell, 64> m_cells;
};

QVariantList approvals(const RemittanceQueries::Statement &st)
{
    QVariantList params;
    for (int i = 0; i < st.approvalParams; ++i)
        params << true;
    return params;
}

// Runs the statement and hands each row to the sink its route picks.
template <typename Route>
void walk(Database &db, const RemittanceQueries::Statement &st, const QVariantList &params, const Route &route)
{
    Database::Statement &q = db.statement(st.sql);
    try {
        for (q.exec(params); q.hasRow(); q.next())
            route(q).append(q);
    } catch (...) {
        q.reset();
        throw;
    }
    q.reset();
}

// Streams the statement's rows into one delta table. True when it received rows.
bool copyInto(Database &db, const RemittanceQueries::Statement &st, const QString &dir,
              const RemittanceQueries::Entry &e, DeltaTables::Kind kind)
{
    DeltaSink sink(dir, *e.source, e.entry->name, kind);
    walk(db, st, approvals(st), [&](const Database::Statement &) -> DeltaSink & { return sink; });
    return sink.close();
}

// On the file every statement of the run finds approval in the run's set of
// approved certificates: one probe of CERTIFIC per row, for the same few
// certificates again and again, was most of the engine's work. The server
// has no such lookup of ours; it probes CERTIFIC.
RemittanceQueries::Approval approvalFor(const Database &db)
{
    return db.onServer() ? RemittanceQueries::Approval::Joined : RemittanceQueries::Approval::InMemory;
}

RemittanceQueries::Statement statementFor(const Database &db, const RemittanceQueries::Entry &e,
                                          RemittanceQueries::Kind kind)
{
    return RemittanceQueries::statement(e, kind, db.engine(), approvalFor(db));
}

// Past this many replica rowids the marks would take more memory than the
// walk of their own they save.
constexpr qint64 kMaxMarkedRowids = qint64(64) << 20;

// The three operations of a table whose replica the change walk can mark;
// the number of delta tables that received rows. Steps and operations are
// reported as the three separate walks did.
int copyChangesAndExclusions(Database &db, const QString &dir, const RemittanceQueries::Entry &e,
                             const RemessaPreparation::Progress &progress)
{
    // Marks go by rowid, which only the file has: the server runs the
    // exclusion statement whole, with the same rows in the same order.
    qint64 lo = 1, hi = 0;
    if (!db.onServer()) {
        const QVariant first = db.scalar(QStringLiteral("SELECT min(rowid) FROM \"%1\"").arg(e.replica->name));
        const QVariant last = db.scalar(QStringLiteral("SELECT max(rowid) FROM \"%1\"").arg(e.replica->name));
        lo = first.isNull() ? 1 : first.toLongLong();
        hi = last.isNull() ? 0 : last.toLongLong();
    }
    const bool sweep = !db.onServer() && hi - lo < kMaxMarkedRowids;
    const auto approval = approvalFor(db);
    const int flagColumn = int(e.source->fields.size());
    DeltaSink inclusions(dir, *e.source, e.entry->name, DeltaTables::Inclusion);
    DeltaSink alterations(dir, *e.source, e.entry->name, DeltaTables::Alteration);
    DeltaSink exclusions(dir, *e.source, e.entry->name, DeltaTables::Exclusion);
    auto route = [&](const Database::Statement &q) -> DeltaSink & {
        return q.cell(flagColumn).integer != 0 ? inclusions : alterations;
    };
    auto toExclusions = [&](const Database::Statement &) -> DeltaSink & { return exclusions; };
    call(progress.operation, QStringLiteral("Inclusão"));
    std::optional<RowidMarks> met;
    if (sweep)
        met.emplace(lo, hi);
    const auto changes = sweep ? RemittanceQueries::markingChanges(e, approval)
                               : RemittanceQueries::changes(e, db.engine(), approval);
    walk(db, changes, approvals(changes), route);
    call(progress.step);
    call(progress.operation, QStringLiteral("Alteração"));
    call(progress.step);
    call(progress.operation, QStringLiteral("Deleção"));
    if (met) {
        // A replica row the walk met has its key here: no exclusion. The
        // others, few, are tested by ranges of rowids, in rowid order as
        // the exclusion statement walks them.
        const auto between = RemittanceQueries::exclusionsBetween(e, approval);
        for (const auto &run : met->unmarkedRuns())
            walk(db, between, approvals(between) << run.first << run.second, toExclusions);
    } else {
        const auto all = RemittanceQueries::statement(e, RemittanceQueries::Kind::Exclusion, db.engine(), approval);
        walk(db, all, approvals(all), toExclusions);
    }
    const int tables = int(inclusions.close()) + int(alterations.close()) + int(exclusions.close());
    call(progress.step);
    return tables;
}

// Inclusions and alterations of a table in one walk; the number of delta
// tables that received rows.
int copyChanges(Database &db, const RemittanceQueries::Statement &st, const QString &dir,
                const RemittanceQueries::Entry &e)
{
    const int flagColumn = int(e.source->fields.size());
    DeltaSink inclusions(dir, *e.source, e.entry->name, DeltaTables::Inclusion);
    DeltaSink alterations(dir, *e.source, e.entry->name, DeltaTables::Alteration);
    walk(db, st, approvals(st), [&](const Database::Statement &q) -> DeltaSink & {
        return q.cell(flagColumn).integer != 0 ? inclusions : alterations;
    });
    return int(inclusions.close()) + int(alterations.close());
}

// The file's transaction sees one state of the data from its start; a
// server's sees each statement's own unless asked. Asked here, before the
// first query fixes that state: the log of remittances is locked first, so
// no step written after it, nor one still under way, can be missing from
// it. A lock that does not come in time refuses as the file's does.
// These run on the connection as they are: a statement of the register
// runs inside a savepoint of its own, where the isolation cannot be set.
void takeSnapshotOnServer(Database &db)
{
    if (!db.onServer())
        return;
    for (const QString &sql : {QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"),
                               QStringLiteral("SET LOCAL lock_timeout = %1").arg(DbErrors::BusyTimeoutMs),
                               QStringLiteral("LOCK TABLE CONTROLE IN SHARE ROW EXCLUSIVE MODE"),
                               QStringLiteral("SET LOCAL lock_timeout TO DEFAULT")}) {
        QSqlQuery q(db.handle());
        if (!q.exec(sql))
            throw DbError::fromServer(q.lastError());
    }
}

} // namespace

int RemessaPreparation::totalSteps()
{
    return int(RemittanceQueries::entries().size()) * StepsPerTable;
}

QString RemessaPreparation::nextNumber(const QString &current, const QDate &today)
{
    const QString day = FileUtil::dateStamp(today);
    if (current.left(8) != day)
        return day + QStringLiteral("01");
    const int next = current.mid(8, 2).toInt() + 1;
    // Two digits: a hundredth number would collide with the tenth.
    if (next > 99)
        return QString();
    return day + QStringLiteral("%1").arg(next, 2, 10, QLatin1Char('0'));
}

QString RemessaPreparation::resultText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Prepared: return QStringLiteral("Preparação Ocorrida com Sucesso.");
    case Outcome::Interrupted: return QStringLiteral("Preparação Interrompida pelo Usuário.");
    case Outcome::Failed: return QStringLiteral("Ocorreu um Erro na Preparação.");
    case Outcome::NothingNew:
    case Outcome::Refused: break;
    }
    return QString();
}

RemessaPreparation::Result RemessaPreparation::run(Database &db, Messenger &messenger, const Settings &s, Type type,
                                                   const Progress &progress)
{
    Result result;
    const QString dir = s.transferDir;
    if (dir.trimmed().isEmpty() || !QFileInfo(dir).isDir()) {
        result.outcome = Outcome::Refused;
        result.error = QStringLiteral("Diretório Local de Transferência de Remessas não foi encontrado.");
        messenger.error(result.error, QStringLiteral("Erro de Configuração"));
        return result;
    }
    auto interrupted = [&] { return progress.interrupted && progress.interrupted(); };
    QString packed; // the package, once made and until its event is written
    try {
        // One snapshot of the data for the whole walk; only the event is
        // written. The state and the number are read under the same lock.
        Transaction t(db);
        if (t.owns())
            takeSnapshotOnServer(db);
        RegisterStep::enter(db);
        RemessaControl::require(db, RemessaControl::Step::Prepare);
        const QString number = nextNumber(
            qMax(s.currentNumber, qMax(RemessaControl::lastNumber(db), QStringLiteral("0000000000"))), s.today);
        if (number.isEmpty())
            throw RegisterStep::Refused(
                QStringLiteral("Já foram preparadas 99 remessas hoje, o limite da numeração diária. "
                               "Uma nova remessa poderá ser preparada amanhã."));
        clearLeftovers(dir);
        const auto approvedSql = RemittanceQueries::approvedCertificates();
        std::optional<KeyPairSet> approved;
        if (approvalFor(db) == RemittanceQueries::Approval::InMemory)
            approved.emplace(db, approvedSql.sql, approvals(approvedSql));
        bool stopped = false;
        const QStringList masks{QDir(dir).filePath(QStringLiteral("*.db")), QDir(dir).filePath(QStringLiteral("*.px")),
                                QDir(dir).filePath(QStringLiteral("*.val"))};
        // Each table compressed while the next ones are written.
        Archive::Packer packer;
        for (const RemittanceQueries::Entry &e : RemittanceQueries::entries()) {
            packer.addFinished(masks);
            if (interrupted()) {
                stopped = true;
                if (type == Type::Partial)
                    call(progress.operation, QStringLiteral("Erro.!"));
                break;
            }
            call(progress.table, e.entry->message);
            const RemittanceQueries::Statement changes = type == Type::Partial
                ? RemittanceQueries::changes(e, db.engine(), approvalFor(db))
                : RemittanceQueries::Statement{};
            if (type == Type::Partial && RemittanceQueries::exclusionsBySweep(e)) {
                result.tables += copyChangesAndExclusions(db, dir, e, progress);
            } else if (!changes.sql.isEmpty()) {
                call(progress.operation, QStringLiteral("Inclusão"));
                result.tables += copyChanges(db, changes, dir, e);
                call(progress.step);
                call(progress.operation, QStringLiteral("Alteração"));
                call(progress.step);
                call(progress.operation, QStringLiteral("Deleção"));
                if (copyInto(db, statementFor(db, e, RemittanceQueries::Kind::Exclusion), dir, e,
                             DeltaTables::Exclusion))
                    ++result.tables;
                call(progress.step);
            } else if (type == Type::Partial) {
                const struct
                {
                    const char *label;
                    RemittanceQueries::Kind kind;
                    DeltaTables::Kind delta;
                } steps[] = {{"Inclusão", RemittanceQueries::Kind::Inclusion, DeltaTables::Inclusion},
                             {"Alteração", RemittanceQueries::Kind::Alteration, DeltaTables::Alteration},
                             {"Deleção", RemittanceQueries::Kind::Exclusion, DeltaTables::Exclusion}};
                for (const auto &st : steps) {
                    call(progress.operation, QString::fromUtf8(st.label));
                    if (copyInto(db, statementFor(db, e, st.kind), dir, e, st.delta))
                        ++result.tables;
                    call(progress.step);
                }
            } else {
                call(progress.operation, QStringLiteral("Inclusão"));
                if (copyInto(db, statementFor(db, e, RemittanceQueries::Kind::Complete), dir, e,
                             DeltaTables::Inclusion))
                    ++result.tables;
                for (int i = 0; i < StepsPerTable; ++i)
                    call(progress.step);
            }
        }
        if (type == Type::Partial)
            DeltaTables::writeVersionMarker(dir);
        if (stopped || interrupted()) {
            result.outcome = Outcome::Interrupted;
            return result;
        }
        if (result.tables == 0) {
            result.outcome = Outcome::NothingNew;
            messenger.plain(nothingNewText(), kCaption);
            return result;
        }

        call(progress.packaging);
        const QString fileName = Remittance::packageNameFor(typeCode(type), s.acronym, number);
        const QString filePath = QDir(dir).filePath(fileName);
        const bool zipped = packer.zip(masks, filePath, messenger);
        DeltaTables::removeTables(dir);
        if (!zipped) {
            result.outcome = Outcome::Failed;
            result.error = QStringLiteral("O arquivo %1 não foi criado.").arg(fileName);
            if (FileReasons::isDiskFull(dir))
                result.error += QStringLiteral(" Causa: ") + FileReasons::writeFailed(dir) + QLatin1Char('.');
            return result;
        }
        packed = filePath;
        RemessaControl::appendEvent(db, number, typeCode(type), QStringLiteral("PR"), s.user);
        RemessaControl::recordNumber(db, number);
        t.commit();
        result.outcome = Outcome::Prepared;
        result.remittance.number = number;
        result.remittance.type = typeCode(type);
        result.remittance.event = QStringLiteral("PR");
        result.remittance.status = RemessaControl::statusText(result.remittance.event);
        result.remittance.newest = true;
        result.remittance.packageName = fileName;
        result.remittance.packagePath = filePath;
        return result;
    } catch (const RegisterStep::Refused &e) {
        result.outcome = Outcome::Refused;
        result.error = e.message();
        messenger.error(result.error, kCaption);
        return result;
    } catch (const DeltaText::Unsendable &e) {
        // Not a fault of the program: the user corrects the text. Nothing
        // of this run stays in the folder.
        clearLeftovers(dir);
        result.outcome = Outcome::Refused;
        result.error = e.message();
        messenger.error(result.error, kCaption);
        return result;
    } catch (const DbError &e) {
        if (e.isBusy()) {
            result.outcome = Outcome::Refused;
            result.error = RegisterStep::busyText();
            messenger.error(result.error, kCaption);
            return result;
        }
        result.error = e.message();
        ErrorLog::append(e.message(), DbErrors::className(e));
    } catch (const AppError &e) {
        result.error = e.message();
        ErrorLog::append(e.message(), DbErrors::className(e));
    } catch (const std::exception &e) {
        result.error = QString::fromLocal8Bit(e.what());
        ErrorLog::append(result.error, DbErrors::className(e));
    }
    // Half a remittance's tables must not fill the disk nor join the next
    // one, and a package without its event is no remittance.
    clearLeftovers(dir);
    if (!packed.isEmpty())
        QFile::remove(packed);
    result.outcome = Outcome::Failed;
    return result;
}
