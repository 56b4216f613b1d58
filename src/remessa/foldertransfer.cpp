#include "remessa/foldertransfer.h"

#include "base/messenger.h"
#include "base/safefile.h"
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

Result run(Database &db, Messenger &messenger, const FolderTransferRequest &request, FolderTransferObserver &observer)
{
    Result result;
    if (request.destination.trimmed().isEmpty())
        return result;
    const QString source = inFolder(request.transferDir, request.fileName);
    if (request.transferDir.trimmed().isEmpty() || request.fileName.isEmpty() || !QFileInfo(source).isFile()) {
        messenger.error(QStringLiteral("Arquivo não encontrado."));
        return result;
    }
    QString name = request.fileName;
    if (TransferDelivery::isTxt(request.fileName)) {
        // The TXT file stays in its folder: packed from a copy.
        name = TxtSending::packageName(request.fileName);
        if (!TxtSending::package(request.transferDir, request.fileName, messenger))
            return result;
    }
    const QString from = inFolder(request.transferDir, name);
    // Copying a file onto itself would empty the package.
    if (sameFolder(request.transferDir, request.destination)) {
        messenger.error(QStringLiteral("O destino escolhido é o próprio diretório de transferência. "
                                       "Escolha outro diretório."));
        return result;
    }
    const qint64 size = QFileInfo(from).size();
    if (isFloppy(request.destination) && roundedKb(size) > FloppyLimitKb) {
        messenger.error(QStringLiteral("Tamanho do arquivo maior que a capacidade do disquete"));
        return result;
    }

    TransferDelivery::Delivery delivery(db, request.fileName, request.number);
    if (const QString refused = delivery.begin(); !refused.isEmpty()) {
        messenger.error(refused);
        result.text = refused;
        return result;
    }
    observer.copyStarted(size);
    result.copiedPath = inFolder(request.destination, name);
    bool interrupted = false;
    QString why;
    // A partial package never reaches the regulator: the scratch copy goes.
    const QString error = copyBlocks(from, result.copiedPath, observer, interrupted, why);
    if (interrupted || !error.isEmpty() || !QFileInfo::exists(result.copiedPath)) {
        result.status = interrupted ? Status::Interrupted : Status::Failed;
        result.text = interrupted ? QStringLiteral("Gravação de arquivo interrompida.")
                                  : QStringLiteral("Gravação de arquivo não realizada: ") + error + QLatin1Char('.') +
                (why.isEmpty() ? QString() : QStringLiteral(" Causa: ") + why + QLatin1Char('.'));
        return result;
    }
    bool logged = false;
    try {
        logged = delivery.delivered(request.userCode, request.userName, remark());
    } catch (const RegisterStep::Refused &e) {
        // Not recorded as delivered: the copy must not reach the regulator.
        QFile::remove(result.copiedPath);
        messenger.error(e.message());
        result.status = Status::Failed;
        result.text = e.message();
        return result;
    }
    if (!logged) {
        // Unlogged, the file could be sent again: the copy is taken back.
        QFile::remove(result.copiedPath);
        result.status = Status::Failed;
        result.text = QStringLiteral("Gravação de arquivo não realizada: ") + LogFailed + QLatin1Char('.');
        return result;
    }
    result.status = Status::Done;
    result.text = QStringLiteral("Gravação de arquivo realizada com sucesso.");
    return result;
}

}
