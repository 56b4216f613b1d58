#include "import/importrun.h"

#include "base/filereasons.h"
#include "base/longjob.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "import/datastruct.h"
#include "import/heldobserver.h"
#include "import/importfilereader.h"
#include "import/importsession.h"
#include "import/parentcheck.h"
#include "import/postimport.h"
#include "import/postimport_history.h"
#include "register/regulatorholding.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Records written between two waits for the writes' answers, at most.
constexpr int ReleaseEvery = 64;
// Unwinds a file's import when the user stops the run.
struct Stopped
{ };
const QString InvalidHeaderWarning = QStringLiteral("Foi encontrado um header inválido -->");
}

ImportRun::ImportRun(const QString &moduleCode, Database &db, const QString &userCode, Messenger &messenger)
    : m_moduleCode(moduleCode),
      m_db(db),
      m_userCode(userCode),
      m_userMsg(messenger),
      m_heldObserver(std::make_unique<HeldObserver>(m_msg, m_observer))
{ }

ImportObserver *ImportRun::shown() const
{
    if (m_msg.silent() || !m_observer)
        return nullptr;
    return m_msg.holding() ? m_heldObserver.get() : m_observer;
}

void ImportRun::nextPoint(bool writesOver)
{
    // Every so many records the writes are waited for, so that what the
    // user is told does not fall far behind.
    if (writesOver || !m_msg.holding() || ++m_sinceRelease >= ReleaseEvery)
        m_db.waitForWrites();
    if (m_msg.holding() && !m_db.writesPending()) {
        m_msg.release();
        m_sinceRelease = 0;
    }
    // What follows the writes runs statement by statement, as before.
    if (writesOver)
        m_msg.showAsTold();
    m_msg.advance();
}

ImportRun::~ImportRun() = default;

QStringList ImportRun::listFiles(const QString &dir)
{
    if (dir.isEmpty())
        return {};
    QDir d(dir);
    return d.entryList({QStringLiteral("TX-*.txt")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString ImportRun::certifierTable(const QString &moduleCode)
{
    const QString code = moduleCode.toUpper();
    if (code == QLatin1String("KESTRAVO"))
        return QStringLiteral("config_local");
    if (code == QLatin1String("BRAVELTIS"))
        return QStringLiteral("Certificador");
    return QString();
}

void ImportRun::deleteLogs(const QString &dir)
{
    for (const QString &name : {PostImport::LogFileName, PostImport::LogBdFileName}) {
        const QString path = PostImport::findLog(dir, name);
        if (!path.isEmpty())
            QFile::remove(path);
    }
}

void ImportRun::showImportErrors(const QString &moduleCode, const QString &failedFiles, Messenger &messenger)
{
    if (moduleCode.compare(QLatin1String("KESTRAVO"), Qt::CaseInsensitive) != 0 || failedFiles.isEmpty())
        return;
    messenger.information(QStringLiteral("Ocorreram erros na IMPORTAÇÃO do(s) arquivo(s) TXT(s) e a rotina gerou o(s) "
                                         "arquivo(s) ") +
                          failedFiles + QStringLiteral(", no mesmo diretório do(s) arquivos TXT processados."));
}

bool ImportRun::run(const QString &dir, const QStringList &fileNames)
{
    m_failedFiles.clear();
    m_results.clear();
    m_busy = false;
    m_interrupted = false;
    for (const QString &name : fileNames) {
        Outcome outcome = Outcome::Interrupted;
        try {
            if (!stopRequested())
                outcome = importFile(dir, name);
        } catch (const DbError &e) {
            // Raised outside a file's transaction (the lookups before it).
            if (!e.isBusy())
                throw;
            m_busy = true;
        }
        if (m_busy) {
            // Said once; every other file would meet the same wait.
            m_msg.error(DbErrors::BusyMessage);
            m_results.append({name, Outcome::Failed});
            break;
        }
        m_results.append({name, outcome});
        if (outcome == Outcome::Interrupted) {
            m_interrupted = true;
            m_msg.warning(QStringLiteral("A importação foi interrompida; nada do arquivo ") + name +
                          QStringLiteral(" foi gravado."));
            break;
        }
    }
    if (anyFailed())
        m_msg.warning(QStringLiteral("Ocorreram erros no processamento do(s) arquivo(s) TXT clique no botão ERROS DE "
                                     "IMPORTAÇÃO para procedimentos de correção"));
    return !anyFailed() && !m_busy && !m_interrupted;
}

bool ImportRun::stopRequested() const
{
    return m_progress && m_progress->stopRequested();
}

bool ImportRun::lookUpCertifier(const QString &name, QString &sigla)
{
    const QString table = certifierTable(m_moduleCode);
    if (table.isEmpty()) {
        m_msg.error(QStringLiteral("Não foi possível validar a sigla do Certificador a tabela de pesquiza não foi "
                                   "informada"));
        return false;
    }
    // "TX-" + acronym + 10 characters + ".txt"
    const QString acronym = name.length() > 17 ? name.mid(3, name.length() - 17) : QString();
    if (!acronym.isEmpty()) {
        try {
            QSqlQuery q = m_db.exec(QStringLiteral("Select * from ") + table +
                                        QStringLiteral(" where siglacertificador = :p1"),
                                    QVariantMap{{QStringLiteral("p1"), acronym}});
            if (q.next()) {
                sigla = q.record().value(QStringLiteral("SiglaCertificador")).toString();
                return true;
            }
        } catch (const DbError &e) {
            if (e.isBusy())
                throw;
            // a missing certifier table answers like an unknown acronym
        }
    }
    m_msg.error(QStringLiteral("Não foi possível validar a sigla do Certificador informada no nome do arquivo txt"));
    return false;
}

ImportRun::Duplicate ImportRun::findDuplicate(const QString &name)
{
    try {
        // Plain comparison, not LIKE: "_" and "%" are ordinary characters of
        // a file name and must not match other names.
        QSqlQuery q = m_db.exec(QStringLiteral("select * from controle_TXT where UCASE(NomeArquivo) = UCASE(:p1)"),
                                QVariantMap{{QStringLiteral("p1"), name}});
        if (!q.next())
            return Duplicate::None;
    } catch (const DbError &e) {
        if (e.isBusy())
            throw;
        return Duplicate::QueryFailed;
    }
    m_msg.error(QStringLiteral("Existe registro de importação para ") + name);
    return Duplicate::Exists;
}

ImportRun::Outcome ImportRun::importFile(const QString &dir, const QString &name)
{
    QString sigla;
    if (!lookUpCertifier(name, sigla))
        return Outcome::Skipped;
    if (findDuplicate(name) != Duplicate::None)
        return Outcome::Skipped;

    m_msg.begin();
    if (!m_db.onServer() || m_db.inTransaction())
        return readAndImport(dir, name, sigla);
    // A file is written whole or not at all: on a server it is first
    // written without undoing statements one by one and without waiting for
    // each statement's answer, much faster there. The existence tests are
    // then taken as finding nothing (a new record, the usual case), checked
    // with the answers. A wrong guess has the file written again waiting for
    // each test; a failed statement has it written again with each
    // statement undoable, so that the rest of it is still checked and
    // logged as on a file register.
    enum class Way { Guessing, Unguarded, Guarded };
    Way way = Way::Guessing;
    const bool undo = m_db.statementUndo();
    struct Restore
    {
        Database &db;
        bool undo;
        bool &guessing;
        ~Restore()
        {
            db.setStatementUndo(undo);
            guessing = false;
        }
    } restore{m_db, undo, m_guessing};
    for (;;) {
        if (way != Way::Guarded) {
            m_db.setStatementUndo(false);
            m_msg.hold();
            m_sinceRelease = 0;
        } else {
            m_db.setStatementUndo(true);
        }
        m_guessing = way == Way::Guessing;
        m_redo = Redo::None;
        const Outcome outcome = readAndImport(dir, name, sigla);
        if (m_redo == Redo::None) {
            // Whatever the attempt still held back (a file it could not open).
            m_msg.release();
            m_msg.showAsTold();
            return outcome;
        }
        // Each way is tried once at most.
        way = m_redo == Redo::WithoutGuessing && way == Way::Guessing ? Way::Unguarded : Way::Guarded;
        m_msg.replay();
    }
}

ImportRun::Outcome ImportRun::readAndImport(const QString &dir, const QString &name, const QString &sigla)
{
    const QString path = QDir(dir).filePath(name);
    ImportFileReader reader(path, sigla, m_userCode);
    reader.setLogDir(dir);
    reader.setMessenger(&m_msg);
    if (!reader.open()) {
        m_msg.error(QStringLiteral("Erro ao tentar abrir o arquivo! ") + QDir::toNativeSeparators(path) +
                    QStringLiteral(": ") + FileReasons::unreadable(path, reader.textFile().errorString()) + '.');
        return Outcome::Skipped;
    }
    if (!logsWritable(dir, name))
        return Outcome::Skipped;
    // Each file starts with empty logs, so its error files hold its own lines only.
    deleteLogs(dir);
    if (ImportObserver *o = shown())
        o->fileStarted(reader.path(), reader.totalLines());
    const Outcome outcome = importOpenedFile(dir, name, reader);
    reader.close();
    return outcome;
}

bool ImportRun::logsWritable(const QString &dir, const QString &name)
{
    // The logs are how a failed file tells what went wrong; a folder that
    // cannot hold them would leave the user with a failure and no reason.
    for (const QString &logName : {PostImport::LogFileName, PostImport::LogBdFileName}) {
        const QString existing = PostImport::findLog(dir, logName);
        const QString path = existing.isEmpty() ? QDir(dir).filePath(logName) : existing;
        QFile probe(path);
        if (probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            probe.close();
            if (existing.isEmpty())
                QFile::remove(path);
            continue;
        }
        m_msg.error(QStringLiteral("O arquivo ") + name +
                    QStringLiteral(" não foi importado: não foi possível gravar o "
                                   "arquivo de log ") +
                    QDir::toNativeSeparators(path) + QStringLiteral(" (") +
                    FileReasons::unwritable(path, probe.errorString()) +
                    QStringLiteral("). Copie os arquivos para uma pasta que permita gravação."));
        return false;
    }
    return true;
}

QString ImportRun::whyNoRecord(const ImportFileReader &reader)
{
    const ImportTextFile &file = reader.textFile();
    if (file.size() == 0)
        return QStringLiteral("o arquivo está vazio");
    if (file.looksUtf16())
        return QStringLiteral("o arquivo está gravado em UTF-16; grave-o como texto ANSI (Windows-1252) ou UTF-8");
    if (file.hasNulBytes())
        return QStringLiteral("o arquivo contém caracteres nulos e não é um arquivo texto");
    return QStringLiteral("nenhuma linha de cabeçalho de registro (como [CERTIFIC]) foi encontrada");
}

ImportRun::Outcome ImportRun::importOpenedFile(const QString &dir, const QString &name, ImportFileReader &reader)
{
    bool failed = false;
    bool busy = false;
    bool stopped = false;
    int records = 0;
    // Keeps the logs open and the lookups of this file; its answers hold
    // inside the file's transaction only, so it is not used past it.
    ImportSession session(m_db);
    session.setGuessing(m_guessing);
    ParentCheck parents(m_db);
    m_session = &session;
    m_parents = &parents;
    m_fileCertificates.clear();
    m_fileCertificateKeys.clear();
    m_fileName = name;
    reader.setSession(&session);
    struct Forget // whatever way this function is left
    {
        ImportSession *&current;
        ParentCheck *&parents;
        ImportFileReader &reader;
        ~Forget()
        {
            current = nullptr;
            parents = nullptr;
            reader.setSession(nullptr);
        }
    } forget{m_session, m_parents, reader};
    try {
        Transaction tx(m_db);
        std::vector<std::unique_ptr<TDataStruct>> batch;
        batch.reserve(BatchLimit);
        while (!reader.atEnd() && !(stopped = stopRequested())) {
            std::unique_ptr<TDataStruct> record = reader.readNext();
            const QStringList warnings = reader.takeWarnings();
            // A record under an unknown header is dropped whole; importing the
            // rest would record the file as done and bar the corrected file.
            for (const QString &w : warnings) {
                if (w.startsWith(InvalidHeaderWarning)) {
                    appendLog(dir, PostImport::LogFileName, {w});
                    failed = true;
                }
            }
            if (ImportObserver *o = shown()) {
                if (!warnings.isEmpty())
                    o->warningsAt(warnings, reader.linesRead());
                o->linesRead(reader.linesRead(), reader.totalLines());
            }
            if (m_progress)
                m_progress->amount(reader.linesRead(), reader.totalLines());
            if (record) {
                ++records;
                batch.push_back(std::move(record));
            }
            if (int(batch.size()) >= BatchLimit || reader.atEnd())
                failed = !flushBatch(batch, failed, dir);
        }
        if (stopped)
            throw Stopped();
        if (!batch.empty())
            failed = !flushBatch(batch, failed, dir);
        if (ImportObserver *o = shown())
            o->readingFinished();
        nextPoint(true); // the writes are over

        // A file that yields nothing is no import: recording it would bar
        // the corrected file of the same name.
        if (records == 0) {
            const QString why = QStringLiteral("Nenhum registro foi encontrado no arquivo ") + name +
                QStringLiteral(": ") + whyNoRecord(reader) + '.';
            appendLog(dir, PostImport::LogFileName, {why});
            m_msg.error(why);
            failed = true;
        }

        // The checks run statements of their own and append to Log_BD.txt themselves.
        session.endWrites();
        session.flushLogs();
        if (!failed)
            failed = !parents.finish(dir, PostImport::LogBdFileName);
        if (!failed)
            failed = !PostImport::checkPairing(m_db, dir) || !PostImport::checkCompanyRoles(m_db, dir);
        if (!failed)
            failed = !recordFile(name);
        if (!failed) {
            if (ImportObserver *o = shown())
                o->tablesUpdated();
            PostImport::markCompleteCertificates(m_db, m_fileCertificates, [this](int done, int total) {
                if (ImportObserver *o = shown())
                    o->completeProgress(done, total);
            });
            if (ImportObserver *o = shown())
                o->completeMarked();
            // The last moment a stop can still undo the file.
            if (stopRequested())
                throw Stopped();
            tx.commit();
        }
    } catch (const DbError &e) {
        // Whatever the file had written is rolled back by now.
        if (e.failedWithoutStatementUndo()) {
            // written again below
        } else if (e.isBusy()) {
            busy = true;
        } else {
            appendLog(dir, PostImport::LogBdFileName, {e.message()});
            if (e.rolledBack()) {
                const QString stopped = QStringLiteral("A gravação do arquivo ") + name +
                    QStringLiteral(" foi interrompida pelo banco de dados (") + e.message() +
                    QStringLiteral("); nada deste arquivo foi gravado.");
                appendLog(dir, PostImport::LogBdFileName, {stopped});
                m_msg.error(stopped);
            }
        }
        failed = true;
    } catch (const AppError &e) {
        appendLog(dir, PostImport::LogBdFileName, {e.message()});
        failed = true;
    } catch (const Stopped &) {
        stopped = true; // rolled back with the transaction
    }
    session.closeLogs(); // before the logs are renamed and the messages shown
    m_msg.showFromHere();

    if (!stopped && !busy && !m_db.statementUndo() && m_db.failedWithoutStatementUndo()) {
        // Everything is written again, logs included.
        deleteLogs(dir);
        m_redo = m_db.guessMissed() && m_guessing ? Redo::WithoutGuessing : Redo::Undoable;
        return Outcome::Failed;
    }
    m_msg.release(); // what the attempt held back comes before what follows

    if (stopped) {
        // The user's choice, not the file's fault: no error files.
        deleteLogs(dir);
        if (ImportObserver *o = shown())
            o->fileFinished(name, false, QString(), QString());
        return Outcome::Interrupted;
    }
    if (busy) {
        // Not the file's fault: no error files, and the run stops.
        deleteLogs(dir);
        m_busy = true;
        if (ImportObserver *o = shown())
            o->fileFinished(name, false, QString(), QString());
        return Outcome::Failed;
    }
    QString errorLog, errorBdLog;
    if (failed) {
        m_msg.error(QStringLiteral("Ocorreu erro na importação dos dados do arquivo ") + name);
        renameLogs(dir, name, errorLog, errorBdLog);
    } else {
        m_msg.information(QStringLiteral("Importação dos dados do arquivo ") + name +
                          QStringLiteral(" concluída com sucesso"));
    }
    if (ImportObserver *o = shown())
        o->fileFinished(name, !failed, errorLog, errorBdLog);
    return failed ? Outcome::Failed : Outcome::Succeeded;
}

bool ImportRun::flushBatch(std::vector<std::unique_ptr<TDataStruct>> &batch, bool fileFailed, const QString &dir)
{
    bool failed = fileFailed;
    QStringList entries;
    entries.reserve(int(batch.size()));
    for (const auto &record : batch) {
        entries << record->className() + (record->isValid() ? QStringLiteral("-OK") : QStringLiteral("-NO"));
        if (!record->isValid())
            failed = true;
    }
    if (ImportObserver *o = shown())
        o->batchListed(entries);
    if (!failed) {
        const int size = int(batch.size());
        for (int i = 0; i < size; ++i) {
            if (ImportObserver *o = shown())
                o->writingRecord(i, size);
            nextPoint(false);
            // A failure fails the file; the rest of the batch is still
            // written so that its write errors reach the log as well.
            if (!writeRecord(*batch[size_t(i)], dir))
                failed = true;
        }
    }
    batch.clear();
    // What a batch logged is on disk before the window gets to repaint.
    if (m_session)
        m_session->flushLogs();
    return !failed;
}

bool ImportRun::writeRecord(TDataStruct &record, const QString &dir)
{
    // Outside the file's transaction a write would stay whatever happens
    // next; the engine may have ended it on its own (disk full, I/O error).
    if (!m_db.inTransaction())
        throw DbError(QStringLiteral("A transação da importação foi desfeita pelo banco de dados."), 0, true);
    record.setLogDir(dir);
    record.setMessenger(&m_msg);
    record.setSession(m_session);
    const TWriteResult result = record.WriteRow(m_db);
    if (!result.succeeded)
        return false;
    if (m_parents) {
        m_parents->rowWritten(record);
        m_parents->written(record);
    }
    noteCertificate(record);
    // Delivered to the regulator with the file: kept as if approved.
    if (const RegulatorHolding::ImportMarkPlan *plan = markPlan(record)) {
        QStringList values;
        values.reserve(record.items().size());
        for (const TDataStructItem *item : record.items())
            values << item->trimmedValue();
        RegulatorHolding::recordImported(m_db, *plan, values, m_fileName);
    }
    bool ok = true;
    if (result.inserted)
        ok = PostImport::writeAutomaticStatusRow(m_db, record, dir);
    return PostImport::writeHistoryControlRow(m_db, record, result.inserted, dir) && ok;
}

const RegulatorHolding::ImportMarkPlan *ImportRun::markPlan(const TDataStruct &record)
{
    // The table and the items follow from the descriptor's class.
    auto it = m_markPlans.find(std::type_index(typeid(record)));
    if (it == m_markPlans.end()) {
        QStringList columns;
        for (const TDataStructItem *item : record.items())
            columns << item->name;
        it = m_markPlans
                 .emplace(std::type_index(typeid(record)),
                          RegulatorHolding::importMarkPlan(record.tableName(), columns))
                 .first;
    }
    return it->second.get();
}

void ImportRun::noteCertificate(const TDataStruct &record)
{
    const TDataStructItem *number = record.itemByName(QStringLiteral("NumCertif"));
    if (!number)
        return; // companies and products belong to no certificate
    const QString num = record.FieldValue(number).trimmed();
    if (num.isEmpty())
        return;
    const TDataStructItem *siglaItem = record.itemByName(QStringLiteral("SiglaCertificador"));
    QString sigla = siglaItem ? record.FieldValue(siglaItem).trimmed() : QString();
    if (sigla.isEmpty())
        sigla = record.certifierAcronym();
    const QString key = (sigla + QLatin1Char('|') + num).toUpper();
    if (m_fileCertificateKeys.contains(key))
        return;
    m_fileCertificateKeys.insert(key);
    m_fileCertificates.append({sigla, num});
}

bool ImportRun::recordFile(const QString &name)
{
    if (findDuplicate(name) != Duplicate::None)
        return false;
    m_db.exec(QStringLiteral("insert into controle_TXT (DataHoraEvento, NomeArquivo, Obs, UsuResp, EnviadoQUELORA) "
                             "values(:p2,:p3,:p4,:p5,:p6)"),
              QVariantMap{{QStringLiteral("p2"), QDateTime::currentDateTime()},
                          {QStringLiteral("p3"), name},
                          {QStringLiteral("p4"), QStringLiteral("Importação p/ kestravo")},
                          {QStringLiteral("p5"), m_userCode},
                          {QStringLiteral("p6"), QStringLiteral("N")}});
    return true;
}

void ImportRun::appendLog(const QString &dir, const QString &fileName, const QStringList &lines)
{
    if (m_session)
        m_session->flushLogs();
    PostImport::appendLog(dir, fileName, lines);
}

void ImportRun::renameLogs(const QString &dir, const QString &name, QString &errorLog, QString &errorBdLog)
{
    const QString base = name.left(name.length() - 4);
    auto move = [&](const QString &logName, const QString &prefix) {
        const QString from = PostImport::findLog(dir, logName);
        if (from.isEmpty())
            return QString();
        const QString to = QDir(dir).filePath(prefix + base + QStringLiteral(".txt"));
        if (QFile::exists(to))
            QFile::remove(to);
        return QFile::rename(from, to) ? to : QString();
    };
    errorLog = move(PostImport::LogFileName, QStringLiteral("ERRO"));
    errorBdLog = move(PostImport::LogBdFileName, QStringLiteral("ERROBD"));
    if (!m_failedFiles.isEmpty())
        m_failedFiles += QStringLiteral(", ");
    m_failedFiles += base;
}
