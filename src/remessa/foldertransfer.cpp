#include "remessa/foldertransfer.h"

#include "base/messenger.h"
#include "base/safefile.h"
#include "remessa/remessawork.h"
#include "remessa/transferdelivery.h"
#include "remessa/txtsending.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {

QString inFolder(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

bool sameFolder(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Copies in blocks, asking the observer after each one, through a scratch
// file that becomes the package only when whole. Returns the error text (""
// when the copy went through or was interrupted), its cause in why.
QString copyBlocks(const QString &from, const QString &to, FolderTransferObserver &observer, bool &interrupted,
                   QString &why)
{
    QFile src(from);
    if (!src.open(QIODevice::ReadOnly))
        return QStringLiteral("Erro ao abrir arquivo");
    SafeFile::Writer dst(to);
    auto failed = [&](const QString &what) {
        why = dst.error();
        return what;
    };
    if (!dst.open())
        return QStringLiteral("Erro ao criar arquivo");
    const qint64 total = src.size();
    qint64 done = 0;
    QByteArray block(FolderTransfer::BlockSize, '\0');
    for (;;) {
        const qint64 n = src.read(block.data(), block.size());
        if (n < 0)
            return QStringLiteral("Erro ao ler arquivo");
        if (n > 0 && !dst.write(block.constData(), n))
            return failed(QStringLiteral("Erro ao gravar arquivo"));
        done += n;
        observer.blockCopied(done, total);
        if (observer.interrupted()) {
            interrupted = true;
            return QString();
        }
        if (n < block.size())
            break;
    }
    if (!dst.commit())
        return failed(QStringLiteral("Erro ao gravar arquivo"));
    return QString();
}

}

namespace FolderTransfer {

const QString LogFailed = QStringLiteral("o registro do envio em CONTROLE_TXT falhou");

QString remark()
{
    return QStringLiteral("<Transferência Manual: Gravação de Disquete>");
}

bool isFloppy(const QString &destination)
{
    QString path = QDir::fromNativeSeparators(destination);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.section(QLatin1Char('/'), -1).startsWith(QLatin1String("floppy"), Qt::CaseInsensitive);
}

qint64 roundedKb(qint64 bytes)
{
    return static_cast<qint64>(std::nearbyint(static_cast<double>(bytes) / 1024.0));
}

Copy::Copy(Database &db, Messenger &messenger, const RemessaWork &work, const QString &fileName,
           const QString &destination)
    : m_db(db),
      m_msg(messenger),
      m_work(work),
      m_fileName(fileName),
      m_destination(destination)
{ }

Copy::~Copy() = default;

bool Copy::begin()
{
    if (m_destination.trimmed().isEmpty())
        return false;
    const QString source = inFolder(m_work.transferDir, m_fileName);
    if (m_work.transferDir.trimmed().isEmpty() || m_fileName.isEmpty() || !QFileInfo(source).isFile()) {
        m_msg.error(QStringLiteral("Arquivo não encontrado."));
        return false;
    }
    QString name = m_fileName;
    if (TransferDelivery::isTxt(m_fileName)) {
        // The TXT file stays in its folder: packed from a copy.
        name = TxtSending::packageName(m_fileName);
        if (!TxtSending::package(m_work.transferDir, m_fileName, m_msg))
            return false;
    }
    m_from = inFolder(m_work.transferDir, name);
    // Copying a file onto itself would empty the package.
    if (sameFolder(m_work.transferDir, m_destination)) {
        m_msg.error(QStringLiteral("O destino escolhido é o próprio diretório de transferência. "
                                   "Escolha outro diretório."));
        return false;
    }
    m_size = QFileInfo(m_from).size();
    if (isFloppy(m_destination) && roundedKb(m_size) > FloppyLimitKb) {
        m_msg.error(QStringLiteral("Tamanho do arquivo maior que a capacidade do disquete"));
        return false;
    }
    auto delivery = std::make_unique<TransferDelivery::Delivery>(m_db, m_fileName, m_work.remittance);
    if (const QString refused = delivery->begin(); !refused.isEmpty()) {
        m_msg.error(refused);
        m_result.text = refused;
        return false;
    }
    m_delivery = std::move(delivery);
    m_result.copiedPath = inFolder(m_destination, name);
    return true;
}

void Copy::copy(FolderTransferObserver &observer)
{
    if (!m_delivery)
        return;
    // A partial package never reaches the regulator: the scratch copy goes.
    m_error = copyBlocks(m_from, m_result.copiedPath, observer, m_interrupted, m_why);
    m_copied = true;
}

Result Copy::finish()
{
    const std::unique_ptr<TransferDelivery::Delivery> delivery = std::move(m_delivery);
    if (!delivery || !m_copied)
        return m_result;
    if (m_interrupted || !m_error.isEmpty() || !QFileInfo::exists(m_result.copiedPath)) {
        m_result.status = m_interrupted ? Status::Interrupted : Status::Failed;
        m_result.text = m_interrupted
            ? QStringLiteral("Gravação de arquivo interrompida.")
            : QStringLiteral("Gravação de arquivo não realizada: ") + m_error + QLatin1Char('.') +
                (m_why.isEmpty() ? QString() : QStringLiteral(" Causa: ") + m_why + QLatin1Char('.'));
        return m_result;
    }
    bool logged = false;
    try {
        logged = delivery->delivered(m_work.userCode, m_work.userName, remark());
    } catch (const RegisterStep::Refused &e) {
        // Not recorded as delivered: the copy must not reach the regulator.
        QFile::remove(m_result.copiedPath);
        m_msg.error(e.message());
        m_result.status = Status::Failed;
        m_result.text = e.message();
        return m_result;
    }
    if (!logged) {
        // Unlogged, the file could be sent again: the copy is taken back.
        QFile::remove(m_result.copiedPath);
        m_result.status = Status::Failed;
        m_result.text = QStringLiteral("Gravação de arquivo não realizada: ") + LogFailed + QLatin1Char('.');
        return m_result;
    }
    m_result.status = Status::Done;
    m_result.text = QStringLiteral("Gravação de arquivo realizada com sucesso.");
    return m_result;
}

Result run(Database &db, Messenger &messenger, const RemessaWork &work, const QString &fileName,
           const QString &destination, FolderTransferObserver &observer)
{
    Copy copy(db, messenger, work, fileName, destination);
    if (!copy.begin())
        return Result{Status::NotStarted, copy.refusal(), QString()};
    observer.copyStarted(copy.size());
    copy.copy(observer);
    return copy.finish();
}

}
