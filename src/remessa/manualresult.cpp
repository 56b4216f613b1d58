#include "remessa/manualresult.h"

#include "base/archive.h"
#include "base/codecs.h"
#include "base/errorlog.h"
#include "base/messenger.h"
#include "base/quietmessenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "remessa/deltatables.h"
#include "remessa/registerstep.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "remessa/replicafold.h"
#include "shell/exceptionhandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int NumberLength = 10;

// The sent package is not where it was prepared: the one failure the
// "not found" box tells.
struct PackageMissing : AppError
{
    using AppError::AppError;
};

void foldPackage(Database &db, const RemessaWork &w)
{
    if (w.transferDir.trimmed().isEmpty() || w.syncDir.trimmed().isEmpty() || w.remittance.packageName.isEmpty())
        throw AppError(
            QStringLiteral("Os diretórios de transferência e de sincronização precisam estar configurados."));
    const QString package = QDir(w.transferDir).filePath(w.remittance.packageName);
    if (!QFileInfo(package).isFile())
        throw PackageMissing(QStringLiteral("Arquivo não encontrado: ") + QDir::toNativeSeparators(package));
    // Tables left from an earlier run must not be folded with this package.
    DeltaTables::removeTables(w.syncDir);
    QuietMessenger quiet;
    if (!Archive::unzip(package, w.syncDir, quiet))
        throw AppError(QStringLiteral("O pacote não pôde ser extraído: ") + QDir::toNativeSeparators(package) +
                       QStringLiteral(" (") + quiet.said + QLatin1Char(')'));
    if (QDir(w.syncDir).entryList({QStringLiteral("*.DB")}, QDir::Files).isEmpty())
        throw AppError(QStringLiteral("Nenhuma tabela no pacote ") + w.remittance.packageName);
    ReplicaFold::fold(db, w.syncDir,
                      ReplicaFold::kindOf(w.remittance.type.isEmpty() ? QChar() : w.remittance.type.at(0)));
}

QString causeOf(const std::exception &e)
{
    if (auto *db = dynamic_cast<const DbError *>(&e))
        return db->userMessage();
    return ExceptionHandler::messageOf(e);
}

}

namespace ManualResult {

std::optional<Code> decode(const QString &typed)
{
    if (typed.isEmpty() || typed.size() > MaxCodeLength)
        return std::nullopt;
    const QString plain = Codecs::confirmation(Codecs::Decode, typed);
    if (plain.size() < NumberLength + 2)
        return std::nullopt;
    Code code;
    code.verdict = plain.right(2);
    code.number = plain.mid(plain.size() - 2 - NumberLength, NumberLength);
    if (code.verdict != QLatin1String("OK") && code.verdict != QLatin1String("NO"))
        return std::nullopt;
    return code;
}

std::optional<Code> check(Database &db, const RemessaWork &work, const QString &typed)
{
    const std::optional<Code> code = decode(typed);
    // A code names its remittance: it settles that one only, and only
    // while it waits for its result.
    if (!code || code->number != work.remittance.number)
        return std::nullopt;
    // As the control list shows it: some remittance of that number and type
    // whose newest event is the transfer.
    for (const RemessaControl::Remittance &r : RemessaControl::remittances(db))
        if (r.number == code->number && r.type.compare(work.remittance.type, Qt::CaseInsensitive) == 0 &&
            r.event == QLatin1String("TR"))
            return code;
    return std::nullopt;
}

QString verdictText(const QString &verdict)
{
    return verdict == QLatin1String("OK") ? QStringLiteral("Remessa Válida") : QStringLiteral("Remessa Inválida");
}

namespace {
QString fullRemark(const QStringList &lines)
{
    QString obs = QStringLiteral("<Recebimento Manual> ");
    for (const QString &line : lines)
        obs += QLatin1Char(' ') + line;
    return obs;
}
}

QString remark(const QStringList &lines)
{
    return fullRemark(lines).left(RemessaControl::RemarkWidth);
}

int remarkRoom()
{
    return RemessaControl::RemarkWidth - fullRemark({QString()}).size();
}

QString remarkRefusal(const QStringList &lines)
{
    if (fullRemark(lines).size() <= RemessaControl::RemarkWidth)
        return {};
    return QStringLiteral("As observações não cabem no campo Obs de CONTROLE: aceita no máximo %1 caracteres de "
                          "observação.")
        .arg(remarkRoom());
}

bool apply(Database &db, Messenger &messenger, const RemessaWork &work, const QString &verdict,
           const QStringList &remarkLines)
{
    const bool accepted = verdict == QLatin1String("OK");
    try {
        // The state is read again under the lock that writes the verdict:
        // a list shown minutes ago may be stale.
        RegisterStep::run(db, [&] {
            RemessaControl::require(db, RemessaControl::Step::Receive, work.remittance.number);
            if (accepted)
                foldPackage(db, work);
            RemessaControl::appendEvent(db, work.remittance.number, work.remittance.type, verdict, work.userName,
                                        remark(remarkLines));
        });
    } catch (const RegisterStep::Refused &e) {
        messenger.error(e.message());
        return false;
    } catch (const std::exception &e) {
        if (!accepted)
            throw;
        // What was unpacked must not be folded with the next package.
        DeltaTables::removeTables(work.syncDir);
        // The boxes below are all the user sees; support reads the cause here.
        ErrorLog::append(ExceptionHandler::messageOf(e), DbErrors::className(e));
        // "Not found" only when it was not found: a full disk says so.
        if (dynamic_cast<const PackageMissing *>(&e))
            messenger.error(QStringLiteral("Remessa Nº: ") + work.remittance.packageName +
                            QStringLiteral("\n Não encontrada no diretório: ") +
                            QDir::toNativeSeparators(work.syncDir));
        else
            messenger.error(QStringLiteral("Remessa Nº: ") + work.remittance.packageName +
                            QStringLiteral("\n Sincronização não efetuada: ") + causeOf(e));
        messenger.error(QStringLiteral("Ocorreu um Erro na Sincronização.\nEntre em contato com o suporte."));
        return false;
    }
    if (accepted)
        QFile::remove(QDir(work.transferDir).filePath(work.remittance.packageName));
    return true;
}

}
