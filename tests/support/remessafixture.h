#pragma once
#include "support/testhome.h"
#include "support/testservers.h"

#include "db/database.h"
#include "remessa/remessawork.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <memory>

// A program folder with the certifier configured, its transfer and
// synchronisation folders, and the database open as "CapaCertific".
struct RemessaFixture
{
    static constexpr const char *Sigla = "OCP0001";

    explicit RemessaFixture(bool demo = false);

    std::unique_ptr<TestHome> home;
    Database db;
    QString transferDir; // ends with "/"
    QString syncDir;
    QString outDir; // a folder to copy packages to

    RemessaWork work(const QString &number = QString(), const QString &type = QStringLiteral("C")) const;
    void event(const QString &number, const QString &type, const QString &eventCode, int secondsAgo = 0);
    QString newestEvent(const QString &number);
    int count(const QString &table, const QString &where = QString());
    // One column of CONFIG_LOCAL.
    void set(const QString &column, const QVariant &value);
    // A file of the given size in the transfer folder.
    QString makeFile(const QString &name, qint64 size) const;
    // Remittances sent to folder of the server, as the certifier's login.
    void useFtp(const FtpTestServer &server, const QString &folder, const QString &password = "segredo");
};

// An FTP server in the fixture's output folder with its folder "entrada",
// empty, where remittances go.
struct InboxServer : FtpTestServer
{
    explicit InboxServer(const RemessaFixture &f);
    QString inbox() const;
    // Starts it, at throttle bytes a second when given, and makes "entrada"
    // the fixture's destination as the certifier's login with password.
    bool serve(RemessaFixture &f, int throttle = 0, const QString &password = QStringLiteral("segredo"));
};
