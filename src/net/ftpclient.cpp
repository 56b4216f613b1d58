#include "net/ftpclient.h"

#include "base/ftpaddress.h"
#include "base/safefile.h"
#include "net/curlsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>

namespace {
// Removing a partial upload is a courtesy: it must not hold the caller long.
constexpr int CleanupTimeoutMs = 5000;
constexpr qint64 ProgressIntervalMs = 100;
}

FtpSettings FtpSettings::fromAddress(const FtpAddress &address, const QString &user, const QString &password)
{
    FtpSettings s;
    s.host = address.host.trimmed();
    s.port = address.portNumber() > 0 ? address.portNumber() : 21;
    s.user = user;
    s.password = password;
    return s;
}

struct FtpClientPrivate
{
    enum class Report { None, Upload, Download };

    FtpListener *listener = nullptr;
    FtpSettings settings;
    CURL *curl = nullptr;
    bool connected = false;
    QString dir; // empty: the login folder
    std::atomic<bool> abort{false};
    FtpFailure last;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    // State of the running perform, read by the callbacks.
    bool abortable = true;
    Report report = Report::None;
    qint64 knownTotal = 0;
    qint64 lastReported = -1;
    QElapsedTimer sinceReport;
    bool localFailed = false;
    QFile *source = nullptr; // of an upload
    SafeFile::Writer *target = nullptr; // of a download

    ~FtpClientPrivate() { closeHandle(); }

    void closeHandle()
    {
        if (!curl)
            return;
        // QUIT on the way out must not hang on a dead server.
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, 2L);
        curl_easy_cleanup(curl);
        curl = nullptr;
    }

    QByteArray base() const
    {
        return "ftp://" + CurlSupport::urlHost(settings.host).toUtf8() + ':' + QByteArray::number(settings.port) + '/';
    }

    QByteArray escape(const QString &segment)
    {
        const QByteArray raw = segment.toUtf8();
        char *e = curl_easy_escape(curl, raw.constData(), int(raw.size()));
        QByteArray out(e ? e : "");
        curl_free(e);
        return out;
    }

    QByteArray dirPath(const QString &folder)
    {
        const QStringList parts =
            QString(folder).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        QByteArray path = folder.startsWith(QLatin1Char('/')) || folder.startsWith(QLatin1Char('\\')) ? "%2F" : "";
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                path += '/';
            path += escape(parts.at(i));
        }
        if (!path.isEmpty())
            path += '/';
        return path;
    }

    QByteArray dirUrl(const QString &folder) { return base() + dirPath(folder); }
    QByteArray fileUrl(const QString &name) { return dirUrl(dir) + escape(name); }

    // Fresh options for one request; the connection itself is kept by the
    // handle between requests.
    void prepare(const QByteArray &url, bool canAbort, int timeoutMs, Report what = Report::None, qint64 total = 0)
    {
        CurlSupport::ensureGlobalInit();
        if (!curl)
            curl = curl_easy_init();
        curl_easy_reset(curl);
        errorBuffer[0] = 0;
        abortable = canAbort;
        report = what;
        knownTotal = total;
        lastReported = -1;
        localFailed = false;
        const long seconds = std::max(1L, long((timeoutMs + 999) / 1000));

        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(curl, CURLOPT_USERNAME, settings.user.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, settings.password.toUtf8().constData());
        CurlSupport::useTls(curl, settings.caFile);
        curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, seconds);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FtpClientPrivate::onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        if (qEnvironmentVariableIsSet("CORVANE_FTP_TRACE"))
            curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    }

    void progress(qint64 done, qint64 total, bool force = false)
    {
        if (!listener || done == lastReported)
            return;
        if (!force && lastReported >= 0 && done != total && sinceReport.elapsed() < ProgressIntervalMs)
            return;
        lastReported = done;
        sinceReport.start();
        listener->ftpProgress(done, total);
    }

    static int onProgress(void *p, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow)
    {
        auto *d = static_cast<FtpClientPrivate *>(p);
        if (d->abortable && d->abort.load())
            return 1;
        if (d->report == Report::Upload)
            d->progress(ulnow, d->knownTotal > 0 ? d->knownTotal : qint64(ultotal));
        else if (d->report == Report::Download)
            d->progress(dlnow, dltotal > 0 ? qint64(dltotal) : d->knownTotal);
        return 0;
    }

    static size_t readFile(char *buffer, size_t size, size_t count, void *p)
    {
        auto *d = static_cast<FtpClientPrivate *>(p);
        QFile *file = d->source;
        const qint64 got = file->read(buffer, qint64(size * count));
        if (got < 0) {
            d->localFailed = true;
            return CURL_READFUNC_ABORT;
        }
        return size_t(got);
    }

    static size_t writeFile(char *data, size_t size, size_t count, void *p)
    {
        auto *d = static_cast<FtpClientPrivate *>(p);
        const qint64 n = qint64(size * count);
        if (!d->target->write(data, n)) {
            d->localFailed = true;
            return 0;
        }
        return size_t(n);
    }

    static size_t collect(char *data, size_t size, size_t count, void *p)
    {
        static_cast<QByteArray *>(p)->append(data, qsizetype(size * count));
        return size * count;
    }

    QString clientMessage(CURLcode code) const
    {
        return CurlSupport::message(code, errorBuffer, settings.host, settings.port);
    }

    bool fail(FtpFailure::Kind kind, FtpFailure::Type type, CURLcode code, const QString &detail = QString())
    {
        FtpFailure f;
        f.code = int(code);
        if (code == CURLE_ABORTED_BY_CALLBACK && abort.load() && !localFailed)
            kind = FtpFailure::Aborted;
        f.kind = kind;
        f.type = kind == FtpFailure::Failure ? type : FtpFailure::NoType;
        f.detail = detail.isEmpty() && code != CURLE_OK ? clientMessage(code) : detail;
        switch (kind) {
        case FtpFailure::Failure: f.text = FtpFailure::typeText(type); break;
        case FtpFailure::Aborted: f.text = FtpTexts::Interrupted; break;
        default: f.text = f.detail; break;
        }
        last = f;
        if (listener)
            listener->ftpFailed(f);
        return false;
    }

    bool abortedBeforeStart()
    {
        if (!abort.load())
            return false;
        fail(FtpFailure::Aborted, FtpFailure::NoType, CURLE_ABORTED_BY_CALLBACK,
             CurlSupport::message(CURLE_ABORTED_BY_CALLBACK, nullptr, settings.host, settings.port));
        return true;
    }

    bool notConnected()
    {
        return fail(FtpFailure::Error, FtpFailure::NoType, CURLE_OK,
                    QStringLiteral("Não há conexão com o servidor FTP"));
    }

    // Best effort: deletes a file of the current folder, ignoring a refusal.
    void removeRemote(const QString &name)
    {
        prepare(dirUrl(dir), false, CleanupTimeoutMs);
        CurlSupport::StringList commands;
        commands.append("*DELE " + name.toUtf8());
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, commands.get());
        curl_easy_perform(curl);
    }

    // STOR of the open source file under name; then, when given, the
    // commands that follow it on the same connection.
    CURLcode store(QFile &file, const QString &name, const QStringList &after)
    {
        file.seek(0);
        source = &file;
        prepare(fileUrl(name), true, settings.timeoutMs, Report::Upload, file.size());
        CurlSupport::StringList post(after);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, &FtpClientPrivate::readFile);
        curl_easy_setopt(curl, CURLOPT_READDATA, this);
        if (!after.isEmpty())
            curl_easy_setopt(curl, CURLOPT_POSTQUOTE, post.get());
        const CURLcode code = curl_easy_perform(curl);
        source = nullptr;
        return code;
    }
};

FtpClient::FtpClient(FtpListener *listener)
    : d(new FtpClientPrivate)
{
    d->listener = listener;
}

FtpClient::~FtpClient()
{
    delete d;
}

void FtpClient::setSettings(const FtpSettings &settings)
{
    // A new server or login needs a new session.
    if (d->curl &&
        (settings.host != d->settings.host || settings.port != d->settings.port || settings.user != d->settings.user ||
         settings.password != d->settings.password || settings.caFile != d->settings.caFile))
        disconnectFromHost();
    d->settings = settings;
    if (d->settings.timeoutMs <= 0)
        d->settings.timeoutMs = FtpSettings::DefaultTimeoutMs;
}

const FtpSettings &FtpClient::settings() const
{
    return d->settings;
}

bool FtpClient::connectToHost()
{
    d->connected = false;
    d->dir.clear();
    if (d->abortedBeforeStart())
        return false;
    if (d->settings.host.isEmpty())
        return d->fail(FtpFailure::Error, FtpFailure::NoType, CURLE_URL_MALFORMAT,
                       QStringLiteral("Endereço do servidor FTP não configurado"));
    d->closeHandle();
    d->prepare(d->base(), true, d->settings.timeoutMs);
    curl_easy_setopt(d->curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = curl_easy_perform(d->curl);
    if (code != CURLE_OK) {
        d->closeHandle();
        return d->fail(FtpFailure::Error, FtpFailure::NoType, code);
    }
    d->connected = true;
    if (d->listener)
        d->listener->ftpConnected();
    return true;
}

bool FtpClient::isConnected() const
{
    return d->connected;
}

void FtpClient::disconnectFromHost()
{
    d->closeHandle();
    d->connected = false;
    d->dir.clear();
}

bool FtpClient::changeDirectory(const QString &path)
{
    if (d->abortedBeforeStart())
        return false;
    if (!d->connected)
        return d->notConnected();
    d->prepare(d->dirUrl(path), true, d->settings.timeoutMs);
    curl_easy_setopt(d->curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = curl_easy_perform(d->curl);
    if (code != CURLE_OK)
        return d->fail(FtpFailure::Failure, FtpFailure::ChangeDirectory, code);
    d->dir = path;
    return true;
}

QString FtpClient::currentDirectory() const
{
    return d->dir;
}

bool FtpClient::listNames(QStringList *names)
{
    if (d->abortedBeforeStart())
        return false;
    if (!d->connected)
        return d->notConnected();
    QByteArray raw;
    d->prepare(d->dirUrl(d->dir), true, d->settings.timeoutMs);
    curl_easy_setopt(d->curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(d->curl, CURLOPT_WRITEFUNCTION, &FtpClientPrivate::collect);
    curl_easy_setopt(d->curl, CURLOPT_WRITEDATA, &raw);
    const CURLcode code = curl_easy_perform(d->curl);
    if (code != CURLE_OK)
        return d->fail(FtpFailure::Error, FtpFailure::NoType, code);

    for (const QString &line : parseListing(raw)) {
        if (names)
            names->append(line);
        if (d->listener)
            d->listener->ftpListItem(line);
    }
    return true;
}

QStringList FtpClient::parseListing(const QByteArray &raw)
{
    // Servers send UTF-8 or, the older ones, Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(raw);
    if (utf8.hasError())
        text = QString::fromLatin1(raw);
    QStringList names;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            names.append(line);
    }
    return names;
}

static bool safeRemoteName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
        !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n')) && name != QLatin1String(".") &&
        name != QLatin1String("..");
}

bool FtpClient::upload(const QString &localPath, const QString &remoteName)
{
    if (d->abortedBeforeStart())
        return false;
    if (!d->connected)
        return d->notConnected();
    if (!safeRemoteName(remoteName))
        return d->fail(FtpFailure::Failure, FtpFailure::Upload, CURLE_OK,
                       QStringLiteral("Nome de arquivo inválido para o servidor: %1").arg(remoteName));
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return d->fail(
            FtpFailure::Failure, FtpFailure::LocalRead, CURLE_OK,
            QStringLiteral("Não foi possível ler o arquivo local %1 (%2)").arg(localPath, file.errorString()));

    const QString partial = remoteName + QLatin1String(PartialSuffix);
    CURLcode code = d->store(file, partial, {QStringLiteral("RNFR ") + partial, QStringLiteral("RNTO ") + remoteName});
    if (code == CURLE_QUOTE_ERROR) {
        // The whole file arrived but the server will not rename: send it
        // again under its final name, which then goes if that send fails.
        d->removeRemote(partial);
        if (d->abortedBeforeStart())
            return false;
        code = d->store(file, remoteName, {});
        if (code == CURLE_OK) {
            d->progress(file.size(), file.size(), true);
            return true;
        }
        const bool local = d->localFailed;
        const FtpFailure::Type type = local ? FtpFailure::LocalRead : FtpFailure::Upload;
        const QString detail = d->clientMessage(code);
        d->removeRemote(remoteName);
        d->localFailed = local;
        return d->fail(FtpFailure::Failure, type, code, detail);
    }
    if (code == CURLE_OK) {
        d->progress(file.size(), file.size(), true);
        return true;
    }
    const bool local = d->localFailed;
    const QString detail = d->clientMessage(code);
    d->removeRemote(partial);
    d->localFailed = local;
    return d->fail(FtpFailure::Failure, local ? FtpFailure::LocalRead : FtpFailure::Upload, code, detail);
}

bool FtpClient::download(const QString &remoteName, const QString &localPath)
{
    if (d->abortedBeforeStart())
        return false;
    if (!d->connected)
        return d->notConnected();
    if (!safeRemoteName(remoteName))
        return d->fail(FtpFailure::Failure, FtpFailure::Download, CURLE_OK,
                       QStringLiteral("Nome de arquivo inválido para o servidor: %1").arg(remoteName));
    // A link standing at the local name is replaced, never written through.
    SafeFile::Writer out(localPath);
    if (!out.open())
        return d->fail(FtpFailure::Failure, FtpFailure::LocalWrite, CURLE_OK,
                       QStringLiteral("Não foi possível gravar o arquivo local %1 (%2)").arg(localPath, out.error()));

    d->target = &out;
    d->prepare(d->fileUrl(remoteName), true, d->settings.timeoutMs, FtpClientPrivate::Report::Download);
    curl_easy_setopt(d->curl, CURLOPT_WRITEFUNCTION, &FtpClientPrivate::writeFile);
    curl_easy_setopt(d->curl, CURLOPT_WRITEDATA, d);
    const CURLcode code = curl_easy_perform(d->curl);
    d->target = nullptr;
    if (code != CURLE_OK) {
        if (d->localFailed)
            return d->fail(
                FtpFailure::Failure, FtpFailure::LocalWrite, code,
                QStringLiteral("Não foi possível gravar o arquivo local %1 (%2)").arg(localPath, out.error()));
        return d->fail(FtpFailure::Failure, FtpFailure::Download, code);
    }
    if (!out.commit())
        return d->fail(FtpFailure::Failure, FtpFailure::LocalWrite, CURLE_OK,
                       QStringLiteral("Não foi possível gravar o arquivo local %1 (%2)").arg(localPath, out.error()));
    curl_off_t got = 0;
    curl_easy_getinfo(d->curl, CURLINFO_SIZE_DOWNLOAD_T, &got);
    d->progress(qint64(got), qint64(got), true);
    return true;
}

void FtpClient::abort()
{
    d->abort.store(true);
}
void FtpClient::clearAbort()
{
    d->abort.store(false);
}
bool FtpClient::abortRequested() const
{
    return d->abort.load();
}
FtpFailure FtpClient::lastFailure() const
{
    return d->last;
}
