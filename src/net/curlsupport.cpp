#include "net/curlsupport.h"

#include <QFile>
#include <mutex>

namespace CurlSupport {

void ensureGlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

static QString plainMessage(CURLcode code, const QString &host, int port)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return QStringLiteral("Servidor %1 não encontrado").arg(host);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Não foi possível conectar ao servidor %1 na porta %2").arg(host).arg(port);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("O servidor %1 não respondeu dentro do tempo limite").arg(host);
    case CURLE_LOGIN_DENIED: return QStringLiteral("Usuário ou senha recusados pelo servidor");
    case CURLE_REMOTE_ACCESS_DENIED: return QStringLiteral("Acesso negado pelo servidor");
    case CURLE_REMOTE_FILE_NOT_FOUND: return QStringLiteral("Arquivo não encontrado no servidor");
    case CURLE_UPLOAD_FAILED: return QStringLiteral("O servidor recusou a gravação do arquivo");
    case CURLE_QUOTE_ERROR: return QStringLiteral("O servidor recusou o comando");
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT: return QStringLiteral("A conexão com o servidor %1 foi interrompida").arg(host);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("Falha ao estabelecer conexão segura (TLS) com o servidor %1").arg(host);
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("O certificado do servidor %1 não é confiável: conexão recusada. Se o servidor usa "
                              "certificado próprio, informe o arquivo do certificado em \"Configuração de "
                              "Diretórios\"")
            .arg(host);
    case CURLE_SSL_CACERT_BADFILE:
        return QStringLiteral("O arquivo de certificado configurado em \"Configuração de Diretórios\" não pôde "
                              "ser lido");
    case CURLE_ABORTED_BY_CALLBACK: return QStringLiteral("Operação interrompida");
    case CURLE_WRITE_ERROR: return QStringLiteral("Não foi possível gravar o arquivo local");
    case CURLE_READ_ERROR: return QStringLiteral("Não foi possível ler o arquivo local");
    default: break;
    }
    return QString::fromUtf8(curl_easy_strerror(code));
}

QString message(CURLcode code, const char *errorBuffer, const QString &host, int port)
{
    QString text = plainMessage(code, host, port);
    const QString detail = errorBuffer ? QString::fromUtf8(errorBuffer).trimmed() : QString();
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return text;
}

void useTls(CURL *curl, const QString &caFile)
{
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, QFile::encodeName(caFile).constData());
}

QString urlHost(const QString &host)
{
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        return QLatin1Char('[') + host + QLatin1Char(']');
    return host;
}

StringList::StringList(const QStringList &items)
{
    for (const QString &item : items)
        append(item.toUtf8());
}

StringList::~StringList()
{
    if (m_list)
        curl_slist_free_all(m_list);
}

void StringList::append(const QByteArray &item)
{
    if (curl_slist *grown = curl_slist_append(m_list, item.constData()))
        m_list = grown;
}

}
