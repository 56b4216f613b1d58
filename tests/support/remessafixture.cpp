#include "support/remessafixture.h"

#include "remessa/remessacontrol.h"
#include "shell/configlocal.h"
#include "shell/loginstate.h"

#include <QDateTime>
#include <QSqlQuery>

RemessaFixture::RemessaFixture(bool demo)
    : home(std::make_unique<TestHome>(demo))
{
    home->open(db);
    const QDir root(home->dir());
    transferDir = root.filePath(QStringLiteral("Transf")) + QLatin1Char('/');
    syncDir = root.filePath(QStringLiteral("Sincr")) + QLatin1Char('/');
    outDir = root.filePath(QStringLiteral("Saida")) + QLatin1Char('/');
    for (const QString &d : {transferDir, syncDir, outDir})
        QDir().mkpath(d);
    ConfigLocal config = ConfigLocalStore::read(db).value_or(ConfigLocal());
    if (config.siglaCertificador.isEmpty())
        config.siglaCertificador = QLatin1String(Sigla);
    config.nomeOCC = QStringLiteral("Organismo de Certificação de Teste");
    config.dirLocalTransf = transferDir;
    config.dirLocalSincr = syncDir;
    ConfigLocalStore::save(db, config);
}

RemessaWork RemessaFixture::work(const QString &number, const QString &type) const
{
    LoginState login;
    login.userCode = QStringLiteral("admin");
    login.userName = QStringLiteral("Administrador");
    return RemessaWork::from(RemessaControl::workingValues(db), login, number, type);
}

void RemessaFixture::event(const QString &number, const QString &type, const QString &eventCode, int secondsAgo)
{
    db.execute(QStringLiteral("INSERT INTO CONTROLE (DataHoraEvento, NumeroRemessa, TipoRemessa, Evento, Usuario) "
                              "VALUES (?, ?, ?, ?, 'Administrador')"),
               {QDateTime::currentDateTime().addSecs(-secondsAgo), number, type, eventCode});
}

QString RemessaFixture::newestEvent(const QString &number)
{
    const QList<RemessaControl::Event> events = RemessaControl::events(db, number);
    return events.isEmpty() ? QString() : events.first().event;
}

int RemessaFixture::count(const QString &table, const QString &where)
{
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
        .toInt();
}

QString RemessaFixture::makeFile(const QString &name, qint64 size) const
{
    QFile f(QDir(transferDir).filePath(name));
    f.open(QIODevice::WriteOnly);
    QByteArray chunk(4096, '\0');
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i * 7 + 3);
    qint64 left = size;
    while (left > 0) {
        const qint64 n = qMin<qint64>(left, chunk.size());
        f.write(chunk.constData(), n);
        left -= n;
    }
    return f.fileName();
}

void RemessaFixture::set(const QString &column, const QVariant &value)
{
    db.execute(QStringLiteral("update CONFIG_LOCAL set ") + column + QStringLiteral(" = ?"), {value});
}

void RemessaFixture::useFtp(const FtpTestServer &server, const QString &folder, const QString &password)
{
    set(QStringLiteral("EndQueloraEnvio"), server.address(folder));
    set(QStringLiteral("LoginFTP"), QStringLiteral("occ"));
    set(QStringLiteral("SenhaFTP"), password);
}

InboxServer::InboxServer(const RemessaFixture &f)
    : FtpTestServer(f.outDir + QStringLiteral("srv"))
{
    QDir().mkpath(inbox());
}

QString InboxServer::inbox() const
{
    return root() + QStringLiteral("/entrada");
}

bool InboxServer::serve(RemessaFixture &f, int throttle, const QString &password)
{
    Options options;
    options.throttle = throttle;
    if (!start(options))
        return false;
    f.useFtp(*this, QStringLiteral("entrada"), password);
    return true;
}
