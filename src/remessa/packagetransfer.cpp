#include "remessa/packagetransfer.h"

#include "base/fileutil.h"
#include "base/ftpaddress.h"
#include "base/safefile.h"
#include "base/textutil.h"
#include "net/ftpclient.h"
#include "net/smtpsender.h"
#include "shell/configlocal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString PackageTransfer::FileNotFound = QStringLiteral(
    "O arquivo não foi encontrado no diretório indicado. Favor verificar.");
const QString PackageTransfer::Success = QStringLiteral("Transferência realizada com sucesso.");
const QString PackageTransfer::CopySuccess = QStringLiteral("Gravação de arquivo realizada com sucesso.");
const QString PackageTransfer::CopySourceMissing = QStringLiteral("Arquivo não encontrado.");

QString PackageTransfer::copyNotDone(const QString &error)
{
    return QStringLiteral("Gravação de arquivo não realizada: ") + error + QLatin1Char('.');
}

namespace {


struct Forward : FtpListener, SmtpListener
{
    PackageTransfer::ProgressSink sink;
    void ftpProgress(qint64 done, qint64 total) override
    {
        if (sink)
            sink(done, total);
    }
    void smtpProgress(qint64 done, qint64 total) override
    {
        if (sink)
            sink(done, total);
    }
};

}

PackageTransfer::PackageTransfer(const ConfigLocal &config, const QString &userName, LineSink lines)
    : m_config(config),
      m_user(userName),
      m_lines(std::move(lines))
{ }

bool PackageTransfer::start(const QString &path, qint64 &size)
{
    size = FileUtil::fileSize(path);
    if (size <= 0) {
        m_lines(FileNotFound);
        return false;
    }
    m_start = QTime::currentTime();
    m_lines(QStringLiteral("Usuário Responsável : ") + m_user);
    m_lines(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(size));
    m_lines(QStringLiteral("Hora inicio: ") + TextUtil::clock(m_start));
    return true;
}

bool PackageTransfer::finish(bool ok, const QString &failureText, const QString &detail, qint64 size)
{
    m_lines(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(size));
    if (!ok) {
        m_lines(QStringLiteral("Transferência não realizada: ") + failureText + QLatin1Char('.'));
        if (!detail.isEmpty() && detail != failureText)
            m_lines(QStringLiteral("Erro: ") + detail);
        m_lines(failureText);
        return false;
    }
    const QTime end = QTime::currentTime();
    m_lines(QStringLiteral("Hora fim: ") + TextUtil::clock(end));
    m_lines(QStringLiteral("Bytes transferidos: %1").arg(size));
    m_lines(QStringLiteral("Taxa de transferência: ") + FileUtil::transferRate(size, m_start, end) +
            QStringLiteral(" bytes/seg"));
    m_lines(Success);
    return true;
}

bool PackageTransfer::byFtp(const QString &path)
{
    qint64 size = 0;
    if (!start(path, size))
        return false;
    const FtpAddress address = FtpAddress::split(m_config.endQueloraEnvio);
    const FtpSettings settings = FtpSettings::fromConfig(address, m_config);
    Forward forward;
    forward.sink = m_progress;
    FtpClient ftp(&forward);
    ftp.setSettings(settings);
    if (!ftp.connectToHost()) {
        m_lines(FtpTexts::connectError(ftp.lastFailure().text));
        m_lines(QStringLiteral("Houve erro durante a transferência."));
        return false;
    }
    const bool ok = ftp.changeDirectory(address.path) && ftp.upload(path, QFileInfo(path).fileName());
    const FtpFailure failure = ftp.lastFailure();
    ftp.disconnectFromHost();
    return finish(ok, failure.text, failure.detail, size);
}

bool PackageTransfer::byEmail(const QString &path)
{
    qint64 size = 0;
    if (!start(path, size))
        return false;
    Forward forward;
    forward.sink = m_progress;
    SmtpSender smtp(&forward);
    smtp.setSettings(SmtpSettings::fromConfig(m_config));
    const bool ok = smtp.send(
        SmtpMessage::remittance(m_config.siglaCertificador, m_config.nomeOCC, m_config.endSMTPEMailReply, path));
    return finish(ok, smtp.lastFailure().text, smtp.lastFailure().detail, size);
}

bool PackageTransfer::toFolder(const QString &path, const QString &destination)
{
    QFile source(path);
    if (!source.exists()) {
        m_lines(CopySourceMissing);
        return false;
    }
    if (!source.open(QIODevice::ReadOnly)) {
        m_lines(copyNotDone(QStringLiteral("Erro ao abrir arquivo")));
        return false;
    }
    // Written under a scratch name and renamed when whole; a link at the
    // final name is replaced, not written through.
    SafeFile::Writer target(QDir(destination).filePath(QFileInfo(path).fileName()));
    if (!target.open()) {
        m_lines(copyNotDone(QStringLiteral("Erro ao criar arquivo")));
        return false;
    }
    char block[8192];
    qint64 done = 0;
    const qint64 total = source.size();
    for (qint64 got; (got = source.read(block, sizeof block)) > 0;) {
        if (!target.write(block, got))
            break;
        done += got;
        if (m_progress)
            m_progress(done, total);
    }
    if (done != total || !target.commit()) {
        target.discard();
        m_lines(copyNotDone(QStringLiteral("Erro ao criar arquivo")));
        return false;
    }
    m_lines(CopySuccess);
    return true;
}
