#include "refupdate/refupdaterun.h"

#include "base/apppaths.h"
#include "base/ftpaddress.h"
#include "db/database.h"
#include "net/ftpclient.h"
#include "refupdate/refinstall.h"
#include "shell/configlocal.h"
#include "shell/netsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace RefUpdate {

const QString NotFound = QStringLiteral("Não foi encontrado arquivo de atualização mais atual.");
const QString NotFoundLocal = QStringLiteral("Não foi encontrado arquivo de atualização mais atual");
const QString OpenError = QStringLiteral("Erro ao abrir arquivo");
const QString CreateError = QStringLiteral("Erro ao criar arquivo");

namespace {
const QString NoReception = QStringLiteral("O diretório de recepção das tabelas auxiliares não está configurado.");

class Forward : public FtpListener
{
public:
    Progress progress;
    std::function<void(const QString &)> lines;
    void ftpProgress(qint64 done, qint64 total) override
    {
        if (progress)
            progress(done, total);
    }
};

}

Outcome installPackage(Database &db, const QString &receptionDir, const QString &fileName)
{
    Outcome out;
    out.fileName = fileName;
    QStringList ignored;
    out.installed = RefInstall::install(db, receptionDir, fileName, &out.detail, &ignored);
    out.result = out.installed ? RefInstall::Installed : RefInstall::InstallError;
    out.ignored = RefInstall::ignoredText(ignored);
    return out;
}

QString receptionDir(const ConfigLocal &config)
{
    if (config.dirLocalRecepAux.trimmed().isEmpty())
        return QString();
    const QString dir = QDir::cleanPath(AppPaths::resolve(config.dirLocalRecepAux.trimmed()));
    QDir().mkpath(dir);
    return dir;
}

QString findInFolder(const QString &folder, const QString &currentFile)
{
    return RefVersion::newest(QDir(folder).entryList(QDir::Files), currentFile);
}

CopyResult copyInBlocks(const QString &from, const QString &to, const Progress &progress, const std::atomic<bool> *stop,
                        QString *error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = OpenError;
        return CopyResult::Failed;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        if (error)
            *error = CreateError;
        return CopyResult::Failed;
    }
    const qint64 total = source.size();
    qint64 done = 0;
    char block[8192];
    for (;;) {
        if (stop && stop->load()) {
            target.cancelWriting();
            return CopyResult::Interrupted;
        }
        const qint64 got = source.read(block, sizeof block);
        if (got < 0 || (got > 0 && target.write(block, got) != got)) {
            target.cancelWriting();
            if (error)
                *error = got < 0 ? OpenError : CreateError;
            return CopyResult::Failed;
        }
        done += got;
        if (progress)
            progress(done, total);
        if (got < qint64(sizeof block))
            break;
    }
    if (!target.commit()) {
        if (error)
            *error = CreateError;
        return CopyResult::Failed;
    }
    return CopyResult::Done;
}

QString currentFile(Database &db)
{
    const RefVersion::Installation now = RefVersion::installed(db);
    return now.fileName.isEmpty() ? RefVersion::noVersionFile() : now.fileName;
}

Outcome updateFromFolder(Database &db, const ConfigLocal &config, const QString &folder, const Progress &progress)
{
    Outcome out;
    const QString reception = receptionDir(config);
    if (reception.isEmpty()) {
        out.result = NoReception;
        return out;
    }
    const QString current = RefVersion::installed(db).version.isEmpty()
        ? RefVersion::noVersionFile()
        : RefVersion::fileNameFor(RefVersion::installed(db).version);
    const QString best = findInFolder(folder, current);
    if (best == current) {
        out.result = NotFoundLocal;
        return out;
    }
    out.fileName = best;
    QString error;
    const QString from = QDir(folder).filePath(best), to = QDir(reception).filePath(best);
    if (QFileInfo(from).canonicalFilePath() != QFileInfo(to).canonicalFilePath() &&
        copyInBlocks(from, to, progress, nullptr, &error) != CopyResult::Done) {
        out.result = QStringLiteral("Foi encontrado arquivo mais atual, mas houve erro na transferência: ") + error +
            QLatin1Char('.');
        return out;
    }
    return installPackage(db, reception, best);
}

Outcome updateByFtp(Database &db, const ConfigLocal &config, const Progress &progress,
                    const std::function<void(const QString &)> &lines)
{
    Outcome out;
    const QString reception = receptionDir(config);
    if (reception.isEmpty()) {
        out.result = NoReception;
        return out;
    }
    const FtpAddress address = FtpAddress::split(config.endQueloraOrigAux);
    Forward forward;
    forward.progress = progress;
    FtpClient ftp(&forward);
    ftp.setSettings(ftpSettings(address, config));
    if (!ftp.connectToHost()) {
        out.result = FtpTexts::connectError(ftp.lastFailure().text);
        return out;
    }
    QStringList names;
    if (!ftp.changeDirectory(address.path) || !ftp.listNames(&names)) {
        out.result = ftp.lastFailure().text;
        ftp.disconnectFromHost();
        return out;
    }
    const QString current = currentFile(db);
    const QString best = RefVersion::newest(names, current);
    if (best == current) {
        ftp.disconnectFromHost();
        out.result = NotFound;
        return out;
    }
    out.fileName = best;
    if (lines)
        lines(QStringLiteral("Arquivo: ") + best);
    const QString local = QDir(reception).filePath(best);
    QFile::remove(local);
    const bool got = ftp.download(best, local);
    const FtpFailure failure = ftp.lastFailure();
    ftp.disconnectFromHost();
    if (!got) {
        out.result = FtpTexts::updateTransferError(failure.text);
        out.detail = failure.detail;
        return out;
    }
    return installPackage(db, reception, best);
}

Outcome reinstall(Database &db, const ConfigLocal &config, const QString &version)
{
    Outcome out;
    const QString reception = receptionDir(config);
    QString fileName;
    for (const RefVersion::Installation &row : RefVersion::byVersion(db))
        if (row.version == version) {
            fileName = row.fileName;
            break;
        }
    if (fileName.isEmpty()) {
        out.result = QStringLiteral("A versão %1 não consta do histórico de atualizações.").arg(version);
        return out;
    }
    out.fileName = fileName;
    if (reception.isEmpty() || !QFileInfo(QDir(reception).filePath(fileName)).isFile()) {
        out.result = RefInstall::OlderFileMissing;
        return out;
    }
    out = installPackage(db, reception, fileName);
    if (out.installed)
        out.result = RefInstall::ReinstalledOlder;
    return out;
}

}
