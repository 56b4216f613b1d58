#include "net/smtpsender.h"

#include "base/textutil.h"
#include "net/curlsupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <cstdio>
#include <memory>

SmtpSettings SmtpSettings::fromConfig(const QString &host, const QString &portText)
{
    SmtpSettings s;
    s.host = host.trimmed();
    bool ok = false;
    const int port = portText.trimmed().toInt(&ok);
    if (ok && port > 0 && port < 65536)
        s.port = port;
    return s;
}

SmtpMessage SmtpMessage::remittance(const QString &acronym, const QString &certifierName, const QString &replyAddress,
                                    const QString &attachmentPath)
{
    SmtpMessage m;
    m.fromAddress = replyAddress.trimmed();
    m.fromName = acronym + QStringLiteral(" - ") + certifierName;
    m.recipients = {replyAddress.trimmed()};
    m.subject = QStringLiteral("Envio de remessa anexado ao E-MAIL");
    m.bodyLines = {QStringLiteral("Segue em anexo o arquivo de remessa")};
    m.attachments = {attachmentPath};
    return m;
}

QString SmtpFailure::kindText(Kind kind)
{
    switch (kind) {
    case Failure: return QStringLiteral("Falha na transmissão do E_MAIL");
    case ConnectionFailure: return QStringLiteral("Erro na conecção com Servidor E-MAIL");
    case InvalidHost: return QStringLiteral("HOST invalido");
    case Aborted: return QStringLiteral("Transferência interrompida.");
    case RecipientNotFound:
    case None: break;
    }
    return QString();
}

namespace {

bool isPlainAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

// RFC 2047 encoded words of at most 75 characters, never splitting a
// character.
QString encodedWords(const QString &text)
{
    QStringList words;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, len).toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            words << QStringLiteral("=?UTF-8?B?") + QString::fromLatin1(chunk.toBase64()) + QStringLiteral("?=");
            chunk.clear();
        }
        chunk += bytes;
        i += len;
    }
    if (!chunk.isEmpty())
        words << QStringLiteral("=?UTF-8?B?") + QString::fromLatin1(chunk.toBase64()) + QStringLiteral("?=");
    return words.join(QLatin1Char(' '));
}

QString headerText(const QString &text)
{
    return isPlainAscii(text) ? text : encodedWords(text);
}

QString mailbox(const QString &name, const QString &address)
{
    const QString angle = QLatin1Char('<') + address + QLatin1Char('>');
    if (name.trimmed().isEmpty())
        return angle;
    if (!isPlainAscii(name))
        return encodedWords(name) + QLatin1Char(' ') + angle;
    QString quoted = name;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + quoted + QStringLiteral("\" ") + angle;
}

// An address that can go into an SMTP command and a header as it is.
bool usableAddress(const QString &address)
{
    if (address.isEmpty() || !address.contains(QLatin1Char('@')))
        return false;
    for (QChar c : address)
        if (c.unicode() <= 0x20 || c.unicode() > 0x7e || c == QLatin1Char('<') || c == QLatin1Char('>') ||
            c == QLatin1Char(','))
            return false;
    return true;
}

QByteArray asciiBody(const QStringList &lines)
{
    QByteArray body;
    for (const QString &line : lines) {
        for (QChar c : line)
            body += c.unicode() >= 0x20 && c.unicode() < 0x7f ? char(c.unicode()) : '?';
        body += "\r\n";
    }
    return body;
}

QByteArray contentType(const QString &path)
{
    return path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive) ? "application/zip" : "application/octet-stream";
}

struct CurlDeleter
{
    void operator()(CURL *c) const { curl_easy_cleanup(c); }
    void operator()(curl_mime *m) const { curl_mime_free(m); }
};

}

// What the libcurl callbacks of one send see.
struct SmtpRun
{
    SmtpSender *sender;
    bool greeted = false;
    qint64 lastReported = -1;
    QByteArray pending; // a reply line not yet ended
    QString refusal; // the last 4xx/5xx reply line

    // Reads the server's replies as libcurl logs them, to tell the user in
    // the server's own words why it refused.
    static int onDebug(CURL *, curl_infotype type, char *data, size_t size, void *p)
    {
        if (type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT && type != CURLINFO_TEXT)
            return 0;
        if (qEnvironmentVariableIsSet("CORVANE_FTP_TRACE"))
            fwrite(data, 1, size, stderr);
        if (type != CURLINFO_HEADER_IN)
            return 0;
        auto *run = static_cast<SmtpRun *>(p);
        run->pending.append(data, qsizetype(size));
        qsizetype end;
        while ((end = run->pending.indexOf('\n')) >= 0) {
            const QByteArray line = run->pending.left(end).trimmed();
            run->pending.remove(0, end + 1);
            if (line.size() >= 3 && (line.at(0) == '4' || line.at(0) == '5'))
                run->refusal = TextUtil::withoutControls(QString::fromLatin1(line.left(512)));
        }
        return 0;
    }

    static int onPrereq(void *p, char *, char *, int, int)
    {
        auto *run = static_cast<SmtpRun *>(p);
        if (!run->greeted) {
            run->greeted = true;
            if (run->sender->m_listener)
                run->sender->m_listener->smtpConnected();
        }
        return CURL_PREREQFUNC_OK;
    }

    static int onProgress(void *p, curl_off_t, curl_off_t, curl_off_t ultotal, curl_off_t ulnow)
    {
        auto *run = static_cast<SmtpRun *>(p);
        if (run->sender->m_abort.load())
            return 1;
        if (run->greeted && run->sender->m_listener && ulnow != run->lastReported) {
            run->lastReported = ulnow;
            run->sender->m_listener->smtpProgress(qint64(ulnow), qint64(ultotal));
        }
        return 0;
    }
};

QStringList SmtpSender::headerLines(const SmtpMessage &message)
{
    QStringList to;
    for (const QString &r : message.recipients)
        to << QLatin1Char('<') + r + QLatin1Char('>');
    const QString domain = message.fromAddress.section(QLatin1Char('@'), 1).trimmed();
    return {
        QStringLiteral("From: ") + mailbox(message.fromName, message.fromAddress),
        QStringLiteral("To: ") + to.join(QStringLiteral(", ")),
        QStringLiteral("Subject: ") + headerText(message.subject),
        QStringLiteral("Date: ") + QDateTime::currentDateTime().toString(Qt::RFC2822Date),
        QStringLiteral("Message-ID: <") + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('@') +
            (domain.isEmpty() ? QStringLiteral("corvane.local") : domain) + QLatin1Char('>'),
    };
}

bool SmtpSender::fail(SmtpFailure::Kind kind, int code, const QString &detail, const QString &serverReply)
{
    SmtpFailure f;
    f.kind = kind;
    f.code = code;
    f.text = SmtpFailure::kindText(kind);
    f.serverReply = serverReply;
    // An untrusted certificate is said in the window, or nobody would know
    // what to mend.
    if (code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_CACERT_BADFILE)
        f.text += QStringLiteral(": ") +
            CurlSupport::message(CURLcode(code), nullptr, m_settings.host, m_settings.port);
    if (!serverReply.isEmpty())
        f.text = f.text.isEmpty() ? QStringLiteral("Servidor E-MAIL respondeu: %1").arg(serverReply)
                                  : QStringLiteral("%1 (servidor respondeu: %2)").arg(f.text, serverReply);
    f.detail = detail;
    m_last = f;
    if (m_listener)
        m_listener->smtpFailed(f);
    return false;
}

bool SmtpSender::send(const SmtpMessage &message)
{
    if (m_abort.load())
        return fail(SmtpFailure::Aborted, CURLE_ABORTED_BY_CALLBACK, QString());
    if (m_settings.host.isEmpty())
        return fail(SmtpFailure::InvalidHost, CURLE_URL_MALFORMAT,
                    QStringLiteral("Servidor de e-mail não configurado"));
    if (!usableAddress(message.fromAddress))
        return fail(SmtpFailure::Failure, 0,
                    QStringLiteral("Endereço de remetente inválido: %1").arg(message.fromAddress));
    if (message.recipients.isEmpty())
        return fail(SmtpFailure::Failure, 0, QStringLiteral("Mensagem sem destinatário"));
    for (const QString &r : message.recipients)
        if (!usableAddress(r))
            return fail(SmtpFailure::Failure, 0, QStringLiteral("Endereço de destinatário inválido: %1").arg(r));
    for (const QString &path : message.attachments) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return fail(SmtpFailure::Failure, 0,
                        QStringLiteral("Não foi possível ler o arquivo anexo %1 (%2)").arg(path, f.errorString()));
    }

    CurlSupport::ensureGlobalInit();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    std::unique_ptr<curl_mime, CurlDeleter> mime(curl_mime_init(curl.get()));

    const QByteArray body = asciiBody(message.bodyLines);
    curl_mimepart *part = curl_mime_addpart(mime.get());
    curl_mime_data(part, body.constData(), size_t(body.size()));
    curl_mime_type(part, "text/plain; charset=us-ascii");
    curl_mime_encoder(part, "7bit");
    for (const QString &path : message.attachments) {
        part = curl_mime_addpart(mime.get());
        curl_mime_filedata(part, QFile::encodeName(path).constData());
        curl_mime_filename(part, QFileInfo(path).fileName().toUtf8().constData());
        curl_mime_type(part, contentType(path).constData());
        curl_mime_encoder(part, "base64");
    }

    CurlSupport::StringList headers(headerLines(message));
    CurlSupport::StringList recipients;
    for (const QString &r : message.recipients)
        recipients.append('<' + r.toUtf8() + '>');
    const QByteArray from = '<' + message.fromAddress.toUtf8() + '>';
    const QByteArray url = "smtp://" + CurlSupport::urlHost(m_settings.host).toUtf8() + ':' +
        QByteArray::number(m_settings.port);
    const int timeoutMs = m_settings.timeoutMs > 0 ? m_settings.timeoutMs : SmtpSettings().timeoutMs;
    const long seconds = std::max(1L, long((timeoutMs + 999) / 1000));
    char errorBuffer[CURL_ERROR_SIZE] = {};
    SmtpRun run{this, false, -1, {}, {}};

    CURL *c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp");
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());
    CurlSupport::useTls(c, m_settings.caFile);
    const QByteArray user = m_settings.user.toUtf8();
    if (!user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, "");
    }
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &SmtpRun::onDebug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &run);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, seconds);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &SmtpRun::onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &run);
    curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, &SmtpRun::onPrereq);
    curl_easy_setopt(c, CURLOPT_PREREQDATA, &run);

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK)
        return true;
    QString detail = CurlSupport::message(code, errorBuffer, m_settings.host, m_settings.port);
    if (!run.refusal.isEmpty())
        detail += QStringLiteral(" - ") + run.refusal;
    if (code == CURLE_ABORTED_BY_CALLBACK && m_abort.load())
        return fail(SmtpFailure::Aborted, code, detail);
    if (code == CURLE_COULDNT_RESOLVE_HOST)
        return fail(SmtpFailure::InvalidHost, code, detail);
    if (!run.greeted)
        return fail(SmtpFailure::ConnectionFailure, code, detail, run.refusal);
    if (QByteArray(errorBuffer).startsWith("RCPT failed"))
        return fail(SmtpFailure::RecipientNotFound, code, detail, run.refusal);
    return fail(SmtpFailure::Failure, code, detail, run.refusal);
}
