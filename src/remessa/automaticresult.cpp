#include "remessa/automaticresult.h"

#include "base/archive.h"
#include "base/cp1252.h"
#include "base/errorlog.h"
#include "base/fileutil.h"
#include "base/ftpaddress.h"
#include "base/messenger.h"
#include "base/quietmessenger.h"
#include "base/safefile.h"
#include "base/textutil.h"
#include "db/database.h"
#include "db/dberror.h"
#include "remessa/deltatables.h"
#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "remessa/replicafold.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"
#include "shell/netsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

namespace {

const QString Ok = QStringLiteral("OK");
const QString SupportLine = QStringLiteral("\nEntre em contato com o suporte.");

// A synchronisation step that failed, with the box that tells it.
struct SyncError : AppError
{
    SyncError(const QString &box, const QString &cause)
        : AppError(cause),
          box(box)
    { }
    QString box;
};

// The name a listing line ends with: bare names, paths and long listing
// lines all end with it.
QString tailName(QString line)
{
    line = line.trimmed();
    const qsizetype cut = qMax(line.lastIndexOf(QLatin1Char('/')), line.lastIndexOf(QLatin1Char(' ')));
    return line.mid(cut + 1);
}

QStringList textLines(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    // The regulator's reports come from Windows: not UTF-8, then its code page.
    if (utf8.hasError())
        text = Cp1252::toUnicode(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    // What the regulator wrote is shown, stored and printed: no escape
    // sequence or stray control may travel with it.
    for (QString &l : lines)
        l = TextUtil::withoutControls(l);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The lines of the report inside the downloaded result. The result is
// unpacked into a scratch folder of its own, so nothing it carries can land
// among the tables being folded. No report: no lines.
QStringList readReport(const QString &syncDir, const QString &resultName)
{
    const QString resultPath = QDir(syncDir).filePath(resultName);
    QTemporaryDir scratch(QDir(syncDir).filePath(QStringLiteral("resultado-XXXXXX")));
    if (!scratch.isValid())
        throw AppError(QStringLiteral("Não foi possível criar uma pasta em ") + QDir::toNativeSeparators(syncDir));
    QuietMessenger quiet;
    if (!Archive::unzip(resultPath, scratch.path(), quiet, Archive::ResultLimits))
        throw AppError(QStringLiteral("O arquivo de resultado não pôde ser extraído: ") +
                       QDir::toNativeSeparators(resultPath) + QStringLiteral(" (") + quiet.said + QLatin1Char(')'));
    const QString wanted = AutomaticResult::reportName(resultName);
    for (const QString &name : QDir(scratch.path()).entryList(QDir::Files)) {
        if (name.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        QFile report(QDir(scratch.path()).filePath(name));
        if (!report.open(QIODevice::ReadOnly))
            throw AppError(QStringLiteral("O relatório do resultado não pôde ser lido: ") + name);
        return textLines(report.readAll());
    }
    return {};
}

// Unpacks the sent package and folds it, inside the caller's transaction.
void foldPackage(Database &db, const RemessaWork &w)
{
    const QString errorA = QStringLiteral("Ocorreu um Erro na Sincronização.") + SupportLine;
    const QString package = QDir(w.transferDir).filePath(w.remittance.packageName);
    if (w.transferDir.trimmed().isEmpty() || !QFileInfo(package).isFile())
        throw SyncError(errorA, QStringLiteral("Arquivo não encontrado: ") + QDir::toNativeSeparators(package));
    // Tables left from an earlier run must not be folded with this package.
    DeltaTables::removeTables(w.syncDir);
    QuietMessenger quiet;
    // The box tells why too: a full disk is no case for the support.
    if (!Archive::unzip(package, w.syncDir, quiet))
        throw SyncError(errorA + QLatin1Char('\n') + quiet.said,
                        QStringLiteral("O pacote não pôde ser extraído: ") + QDir::toNativeSeparators(package) +
                            QStringLiteral(" (") + quiet.said + QLatin1Char(')'));
    if (QDir(w.syncDir).entryList({QStringLiteral("*.DB")}, QDir::Files).isEmpty())
        throw SyncError(QStringLiteral("Ocorreu um Erro1 na Sincronização.") + SupportLine,
                        QStringLiteral("Nenhuma tabela no pacote ") + w.remittance.packageName);
    try {
        const QString type = w.remittance.type;
        ReplicaFold::fold(db, w.syncDir, ReplicaFold::kindOf(type.isEmpty() ? QChar() : type.at(0)));
    } catch (const std::exception &e) {
        throw SyncError(QStringLiteral("Ocorreu um Erro2 na Sincronização.") + SupportLine,
                        ExceptionHandler::messageOf(e));
    }
}

}

namespace AutomaticResult {

const QString NotAvailable = QStringLiteral(
    "Resultado não recebido: não há ainda resultado disponível no Quelora para esta remessa.");
const QString Accepted = QStringLiteral(
    "Resultado recebido com sucesso: remesa foi considerada válida e a base de dados foi atualizada.");
const QString Rejected = QStringLiteral(
    "Resultado recebido com sucesso: remessa foi invalidada pelo Quelora e exigirá nova remessa.");
const QString NothingToSync = QStringLiteral("Não há sincronização a fazer. A remessa foi invalidada.");
const QString Syncing = QStringLiteral("Sincronizando a Base de Dados.... Aguarde.");
const QString SyncDone = QStringLiteral("Sincronização efetuada com sucesso...");
const QString SyncNotDone = QStringLiteral("Sincronização não efetuada. A remessa continua aguardando o resultado.");

QString resultName(const QString &packageName, const QString &verdict)
{
    QString rest = packageName.mid(3);
    if (rest.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        rest.chop(4);
    return packageName.left(3) + QStringLiteral("R-") + rest + QLatin1Char('-') + verdict + QStringLiteral(".zip");
}

QString reportName(const QString &resultName)
{
    QString name = resultName;
    if (name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        name.chop(4);
    return name + QStringLiteral(".txt");
}

std::optional<Found> find(const QStringList &listing, const QString &packageName)
{
    if (packageName.size() < 4)
        return std::nullopt;
    for (const QString &verdict : {Ok, QStringLiteral("NO")}) {
        const QString wanted = resultName(packageName, verdict);
        for (const QString &line : listing) {
            const QString name = tailName(line);
            if (name.compare(wanted, Qt::CaseInsensitive) == 0)
                return Found{name, verdict};
        }
    }
    return std::nullopt;
}

QString remark(const QStringList &reportLines)
{
    QString obs;
    for (const QString &line : reportLines) {
        obs += QLatin1Char(' ') + line;
        if (obs.size() >= RemessaControl::RemarkWidth)
            break;
    }
    return obs.left(RemessaControl::RemarkWidth);
}

QString precondition(const RemessaWork &work)
{
    if (work.syncDir.trimmed().isEmpty())
        return QStringLiteral("O diretório de sincronização não está configurado.");
    if (work.remittance.packageName.isEmpty())
        return QStringLiteral("Não há arquivo de remessa para buscar o resultado.");
    return QString();
}

QString startLine(const QString &userName)
{
    return QStringLiteral("Usuário Responsável : ") + userName;
}
QString startTimeLine(const QTime &start)
{
    return QStringLiteral("Hora inicio: ") + TextUtil::clock(start);
}
QString sizeLine(qint64 total)
{
    return QStringLiteral("Tamanho do arquivo : %1 bytes").arg(total);
}

QStringList endLines(qint64 bytes, const QTime &start, const QTime &end)
{
    return {QStringLiteral("Hora fim: ") + TextUtil::clock(end), QStringLiteral("Bytes transferidos: %1").arg(bytes),
            QStringLiteral("Taxa de transferência: ") + FileUtil::transferRate(bytes, start, end) +
                QStringLiteral(" bytes/seg")};
}

Outcome settle(Database &db, Messenger &messenger, const RemessaWork &work, const Found &found, const LineSink &lines)
{
    const bool accepted = found.verdict == Ok;
    QStringList report;
    // A result that could not be settled leaves neither itself nor what was
    // unpacked of the package: the next attempt downloads it again.
    auto discard = [&] {
        if (work.syncDir.trimmed().isEmpty())
            return;
        QFile::remove(QDir(work.syncDir).filePath(found.name));
        DeltaTables::removeTables(work.syncDir);
    };
    Transaction tx(db);
    try {
        RegisterStep::enter(db);
        RemessaControl::require(db, RemessaControl::Step::Receive, work.remittance.number);
        if (accepted)
            foldPackage(db, work);
        report = readReport(work.syncDir, found.name);
        RemessaControl::appendEvent(db, work.remittance.number, work.remittance.type, found.verdict, work.userName,
                                    remark(report));
        tx.commit();
    } catch (const RegisterStep::Refused &e) {
        tx.rollback();
        messenger.error(e.message());
        return Outcome::Failed;
    } catch (const SyncError &e) {
        tx.rollback();
        discard();
        ErrorLog::append(ExceptionHandler::messageOf(e), DbErrors::className(e));
        messenger.error(e.box);
        return Outcome::Failed;
    } catch (const std::exception &e) {
        tx.rollback();
        discard();
        ExceptionHandler::handle(e, messenger);
        return Outcome::Failed;
    }
    if (!accepted)
        lines(Rejected);
    for (const QString &line : report)
        lines(line);
    if (accepted) {
        lines(Accepted);
        QFile::remove(QDir(work.transferDir).filePath(work.remittance.packageName));
    }
    QFile::remove(QDir(work.syncDir).filePath(found.name));
    return accepted ? Outcome::Accepted : Outcome::Rejected;
}

FetchResult fetch(Database &db, Messenger &messenger, const RemessaWork &work, const ConfigLocal &config,
                  Transport &ftp, Observer &observer)
{
    FetchResult r;
    auto line = [&](const QString &l) { observer.line(l); };
    auto failed = [&] {
        const FtpFailure failure = ftp.lastFailure();
        ftp.disconnectFromHost();
        r.interrupted = observer.interrupted() || failure.kind == FtpFailure::Aborted;
        // An interruption has said so already.
        if (!r.interrupted) {
            line(FtpTexts::resultNotDone(failure.text));
            line(failure.text);
        }
        r.outcome = Outcome::Failed;
        return r;
    };

    // The download and the unpack outlive a transaction: no other step may
    // settle or cancel this remittance meanwhile.
    RegisterStep::Marker marker(db, QStringLiteral("Recebimento de resultado"));
    try {
        marker.take([&] { RemessaControl::require(db, RemessaControl::Step::Receive, work.remittance.number); });
    } catch (const RegisterStep::Refused &e) {
        messenger.error(e.message());
        r.refusal = e.message();
        return r;
    }
    const FtpAddress address = FtpAddress::split(config.endQueloraResult);
    ftp.setSettings(ftpSettings(address, config));
    if (!ftp.connectToHost()) {
        const FtpFailure failure = ftp.lastFailure();
        r.interrupted = observer.interrupted() || failure.kind == FtpFailure::Aborted;
        if (!r.interrupted) {
            r.connectError = FtpTexts::connectError(failure.text);
            line(FtpTexts::TransferError);
        }
        return r;
    }
    // A folder that cannot be read is a failure, not "no result yet".
    QStringList listing;
    if (observer.interrupted() || !ftp.changeDirectory(address.path) || !ftp.listNames(&listing))
        return failed();
    observer.listed();

    const std::optional<Found> found = find(listing, work.remittance.packageName);
    if (!found) {
        ftp.disconnectFromHost();
        line(NotAvailable);
        r.outcome = Outcome::NotAvailable;
        return r;
    }
    r.resultName = found->name;
    r.verdict = found->verdict;
    observer.found(found->name);
    const QTime start = QTime::currentTime();
    line(startLine(work.userName));
    line(startTimeLine(start));
    SafeFile::makeFolder(work.syncDir);
    // What a download killed half-way left.
    SafeFile::removeLeftovers(work.syncDir, QStringLiteral("*.zip"));
    const QString local = QDir(work.syncDir).filePath(found->name);
    const bool ok = !observer.interrupted() && ftp.download(found->name, local);
    const qint64 size = ok ? FileUtil::fileSize(local) : ftp.downloadTotal();
    line(sizeLine(ok ? size : ftp.downloadTotal()));
    if (!ok)
        return failed();
    const QTime end = QTime::currentTime();
    for (const QString &l : endLines(size, start, end))
        line(l);
    observer.downloaded();
    ftp.disconnectFromHost();
    observer.synchronising(found->verdict == Ok);
    r.outcome = settle(db, messenger, work, *found, line);
    return r;
}

BlockingTransport::BlockingTransport()
    : m_client(this)
{ }

bool BlockingTransport::download(const QString &remoteName, const QString &localPath)
{
    m_total = 0;
    return m_client.download(remoteName, localPath);
}

}
