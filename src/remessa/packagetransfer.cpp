#include "remessa/packagetransfer.h"

#include "base/fileutil.h"
#include "base/ftpaddress.h"
#include "base/messenger.h"
#include "base/textutil.h"
#include "net/ftpfailure.h"
#include "remessa/transferdelivery.h"
#include "remessa/txtsending.h"
#include "shell/configlocal.h"
#include "shell/netsettings.h"

#include <QDir>
#include <QFileInfo>

const QString PackageTransfer::FileNotFound = QStringLiteral(
    "O arquivo não foi encontrado no diretório indicado. Favor verificar.");
const QString PackageTransfer::Success = QStringLiteral("Transferência realizada com sucesso.");
const QString PackageTransfer::RecordFailed = QStringLiteral(
    "O arquivo foi enviado, mas o registro em CONTROLE_TXT falhou.");

PackageTransfer::PackageTransfer(Database &db, Messenger &messenger, const RemessaWork &work, const QString &fileName,
                                 Mode mode)
    : m_db(db),
      m_msg(messenger),
      m_work(work),
      m_fileName(fileName),
      m_mode(mode),
      m_ftp(this),
      m_smtp(this)
{ }

PackageTransfer::~PackageTransfer() = default;

void PackageTransfer::line(const QString &text)
{
    if (m_lines)
        m_lines(text);
}

void PackageTransfer::progressed(qint64 done, qint64 total)
{
    m_sent.store(done);
    if (m_progress)
        m_progress(done, total);
}

bool PackageTransfer::begin()
{
    if (m_started)
        return false;
    m_started = true;
    // The register first: a package a cancellation removed meanwhile is
    // refused for the state, not as a missing file.
    auto delivery = std::make_unique<TransferDelivery::Delivery>(m_db, m_fileName, m_work.remittance);
    if (const QString refused = delivery->begin(); !refused.isEmpty()) {
        m_msg.error(refused);
        return false;
    }
    QString travelling = m_fileName;
    if (TransferDelivery::isTxt(m_fileName)) {
        travelling = TxtSending::packageName(m_fileName);
        if (!TxtSending::package(m_work.transferDir, m_fileName, m_msg))
            return false;
    }
    m_path = QDir(m_work.transferDir).filePath(travelling);
    m_size = m_fileName.isEmpty() ? -1 : FileUtil::fileSize(m_path);
    if (const std::optional<ConfigLocal> config = ConfigLocalStore::read(m_db))
        m_config = std::make_unique<ConfigLocal>(*config);
    if (m_size <= 0 || !m_config) {
        m_msg.warning(FileNotFound);
        return false;
    }
    m_delivery = std::move(delivery);
    m_start = QTime::currentTime();
    line(QStringLiteral("Usuário Responsável : ") + m_work.userName);
    line(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(m_size));
    line(QStringLiteral("Hora inicio: ") + TextUtil::clock(m_start));
    return true;
}

bool PackageTransfer::sendByFtp()
{
    const FtpAddress address = FtpAddress::split(m_config->endQueloraEnvio);
    m_ftp.setSettings(ftpSettings(address, *m_config));
    if (!m_ftp.connectToHost()) {
        m_connectFailed = true;
        m_connectFailure = m_ftp.lastFailure().text;
        return false;
    }
    // Pressed while the server was answering, or a step refused by the server.
    const auto fails = [this](bool ok) {
        const FtpFailure failure = m_ftp.lastFailure();
        if (!ok && failure.kind == FtpFailure::Failure)
            m_failure = failure.text;
        return !ok || interrupted();
    };
    bool ok = !interrupted() && !fails(m_ftp.changeDirectory(address.path)) &&
        !fails(m_ftp.upload(m_path, QFileInfo(m_path).fileName()));
    m_ftp.disconnectFromHost();
    return ok;
}

bool PackageTransfer::sendByEmail()
{
    m_smtp.setSettings(smtpSettings(*m_config));
    const bool ok = m_smtp.send(
        SmtpMessage::remittance(m_config->siglaCertificador, m_config->nomeOCC, m_config->endSMTPEMailReply, m_path));
    const SmtpFailure failure = m_smtp.lastFailure();
    // A refused recipient has no text of its own: the server's answer tells why.
    if (!ok && failure.kind != SmtpFailure::Aborted)
        m_failure = failure.text.isEmpty() ? failure.detail : failure.text;
    return ok;
}

void PackageTransfer::send()
{
    if (!m_delivery)
        return;
    m_ok = (m_mode == Mode::Ftp ? sendByFtp() : sendByEmail()) && !interrupted();
}

void PackageTransfer::interrupt()
{
    if (!m_delivery || m_interrupted.exchange(true))
        return;
    line(FtpTexts::Interrupted);
    m_ftp.abort();
    m_smtp.abort();
}

PackageTransfer::Outcome PackageTransfer::finish()
{
    // Only a whole delivery keeps the register's marker up to its record.
    const std::unique_ptr<TransferDelivery::Delivery> delivery = std::move(m_delivery);
    if (!delivery)
        return Outcome::NotSent;
    if (m_connectFailed) {
        if (!interrupted()) {
            const QString text = FtpTexts::connectError(m_connectFailure);
            if (m_connectSink)
                m_connectSink(text);
            else
                m_msg.error(text);
            line(FtpTexts::TransferError);
        }
        return Outcome::NotSent;
    }
    line(QStringLiteral("Tamanho do arquivo : %1 bytes").arg(m_size));
    if (interrupted())
        return Outcome::NotSent;
    if (!m_failure.isEmpty()) {
        line(FtpTexts::transferNotDone(m_failure));
        line(m_failure);
        return Outcome::NotSent;
    }
    if (!m_ok) {
        line(FtpTexts::TransferError);
        return Outcome::NotSent;
    }
    const QTime end = QTime::currentTime();
    const qint64 sent = m_sent.load();
    line(QStringLiteral("Hora fim: ") + TextUtil::clock(end));
    line(QStringLiteral("Bytes transferidos: %1").arg(sent));
    line(QStringLiteral("Taxa de transferência: ") + FileUtil::transferRate(sent, m_start, end) +
         QStringLiteral(" bytes/seg"));
    line(Success);
    bool recorded = false;
    try {
        recorded = delivery->delivered(m_work.userCode, m_work.userName, QString());
    } catch (const RegisterStep::Refused &e) {
        m_msg.error(e.message());
        return Outcome::SentNotRecorded;
    }
    if (!recorded) {
        m_msg.error(RecordFailed);
        return Outcome::SentNotRecorded;
    }
    return Outcome::Delivered;
}

PackageTransfer::Outcome PackageTransfer::run()
{
    if (!begin())
        return Outcome::NotSent;
    send();
    return finish();
}
