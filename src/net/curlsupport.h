#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <curl/curl.h>

// What the FTP and SMTP clients share of libcurl.
namespace CurlSupport {

// libcurl's global set-up, once per process, before any handle.
void ensureGlobalInit();

// The client's own message for a libcurl result, in the users' language,
// followed by libcurl's detail (server reply, system error) when there is one.
QString message(CURLcode code, const char *errorBuffer, const QString &host, int port);

// TLS whenever the server offers it, and then only with a certificate the
// system store or caFile (when given) vouches for, under the name dialled.
void useTls(CURL *curl, const QString &caFile);

// Host as it goes into a URL (brackets around an IPv6 literal).
QString urlHost(const QString &host);

// A curl_slist that frees itself.
class StringList
{
public:
    StringList() = default;
    explicit StringList(const QStringList &items);
    ~StringList();
    StringList(const StringList &) = delete;
    StringList &operator=(const StringList &) = delete;
    void append(const QByteArray &item);
    curl_slist *get() const { return m_list; }

private:
    curl_slist *m_list = nullptr;
};

}
