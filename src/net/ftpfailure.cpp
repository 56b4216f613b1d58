#include "net/ftpfailure.h"

QString FtpFailure::typeText(Type type)
{
    switch (type) {
    case ChangeDirectory: return QStringLiteral("Erro na troca de diretório.");
    case LocalWrite: return QStringLiteral("O programa não pôde gravar o arquivo na máquina local.");
    case LocalRead: return QStringLiteral("O programa não pôde ler o arquivo na maquina local.");
    case Download: return QStringLiteral("Erro de Download.");
    case Upload: return QStringLiteral("Erro de Upload.");
    case NoType: break;
    }
    return QString();
}

namespace FtpTexts {

const QString TransferError = QStringLiteral("Houve erro durante a transferência.");
const QString Interrupted = QStringLiteral("Transferência interrompida.");
const QString UpdateTransferError = QStringLiteral(
    "Foi encontrado arquivo mais atual, mas houve erro na transferência.");
const QString UpdateInterrupted = QStringLiteral(
    "Foi encontrado arquivo mais atual, mas houve interrupção na transferência.");

QString connectError(const QString &clientMessage)
{
    return QStringLiteral("Erro ao tentar conectar. Verifique as configurações do Sistema\nErro:") + clientMessage;
}

QString transferNotDone(const QString &failureText)
{
    return QStringLiteral("Transferência não realizada: ") + failureText + QLatin1Char('.');
}

QString resultNotDone(const QString &failureText)
{
    return QStringLiteral("Transferência de resultado não realizada: ") + failureText + QLatin1Char('.');
}

QString updateTransferError(const QString &failureText)
{
    return QStringLiteral("Foi encontrado arquivo mais atual, mas houve erro na transferência: ") + failureText +
        QLatin1Char('.');
}

}
