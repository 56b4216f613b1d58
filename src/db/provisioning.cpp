#include "db/provisioning.h"

#include "base/codecs.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Provisioning {

QStringList demoFolders()
{
    return {QStringLiteral("Sincronizacao/"), QStringLiteral("Transferencia/"), QStringLiteral("RecepcaoAux/")};
}

QString checkedAdminPassword(const QString &password)
{
    const QString pw = password.trimmed();
    if (pw.isEmpty())
        throw AppError(QStringLiteral("A senha do administrador não pode ficar em branco."));
    if (pw.size() > 10)
        throw AppError(QStringLiteral("A senha do administrador deve ter no máximo 10 caracteres."));
    // The stored form ends at its first zero byte and holds single-byte
    // characters only: a password that does not come back whole could never
    // be matched at login.
    if (Codecs::password(Codecs::Decode, Codecs::password(Codecs::Encode, pw)) != pw)
        throw AppError(QStringLiteral("A senha do administrador contém caracteres que não podem ser gravados."));
    return pw;
}

void createSchema(Database &db)
{
    Transaction tx(db);
    QStringList script;
    if (db.onServer())
        script << Schema::serverPrelude();
    for (const Schema::Table &t : Schema::tables())
        script << Schema::createStatements(t, db.engine());
    db.executeScript(script);
    if (db.onServer())
        db.execute(QStringLiteral("INSERT INTO %1 (versao) VALUES (?)").arg(QLatin1String(Schema::VersionTable)),
                   {Schema::ServerVersion});
    else
        db.execute(QStringLiteral("PRAGMA user_version = %1").arg(Schema::Version));
    tx.commit();
}

void addAdministrator(Database &db, const QString &password)
{
    const QString pw = checkedAdminPassword(password);
    const QString certifier =
        db.scalar(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL ORDER BY SiglaCertificador")).toString();
    db.execute(QStringLiteral("INSERT INTO USU_LOCAL (SiglaUsu, SiglaCertificador, NomeUsu, SenhaUsu, AcConfigOCC, "
                              "AcConfigDir, AcCadastraUsu, AcManBase, AcContRemessas, AcAtualTabAux, AcAprovCertific) "
                              "VALUES (?, ?, ?, ?, 1, 1, 1, 1, 1, 1, 1)"),
               {QString::fromLatin1(AdminCode), certifier, QString::fromLatin1(AdminName),
                Codecs::password(Codecs::Encode, pw)});
}

void createOnServer(const ServerAddress &address, const Options &options)
{
    const QString pw = checkedAdminPassword(options.adminPassword);
    static QAtomicInt serial;
    Database db(QStringLiteral("ProvisioningServer-%1").arg(serial.fetchAndAddRelaxed(1)));
    db.connectServer(address);
    Transaction tx(db);
    // Two runs filling one database at once: the second waits here for the
    // first, then finds it no longer empty.
    db.scalar(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('corvane-init'))"));
    // Tables, views, sequences or functions of anyone: the database is not
    // this program's to fill.
    const int objects =
        db.scalar(QStringLiteral("SELECT (SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n "
                                 "ON n.oid = c.relnamespace WHERE n.nspname = current_schema()) + "
                                 "(SELECT count(*) FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n "
                                 "ON n.oid = p.pronamespace WHERE n.nspname = current_schema())"))
            .toInt();
    if (objects > 0)
        throw AppError(
            QStringLiteral("O banco de dados %1 não está vazio. Nenhum registro foi criado.").arg(db.describe()));
    createSchema(db);
    if (options.demo)
        addDemoData(db, options.programDir);
    addAdministrator(db, pw);
    tx.commit();
}

void createDatabase(const QString &path, const Options &options)
{
    const QString pw = checkedAdminPassword(options.adminPassword);
    const QString exists =
        QStringLiteral("O arquivo %1 já existe. Nenhum banco de dados foi criado.").arg(QDir::toNativeSeparators(path));
    if (QFileInfo::exists(path))
        throw AppError(exists);
    const QString programDir = options.programDir.isEmpty() ? QFileInfo(QFileInfo(path).absolutePath()).absolutePath()
                                                            : options.programDir;

    // A connection of its own, so an open "CapaCertific" is left alone.
    static QAtomicInt serial;
    const QString connection = QStringLiteral("Provisioning-%1").arg(serial.fetchAndAddRelaxed(1));
    bool created = false;
    try {
        Database db(connection);
        try {
            db.create(path); // exclusively: another program creating it at once gets it, or this one does
        } catch (const DbError &) {
            if (QFileInfo::exists(path))
                throw AppError(exists);
            throw;
        }
        created = true;
        Transaction tx(db);
        createSchema(db);
        if (options.demo)
            addDemoData(db, programDir);
        addAdministrator(db, pw);
        tx.commit();
    } catch (...) {
        // Half a database is worse than none: the next attempt must find no
        // file. Only a file this call made is removed.
        if (created) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
        }
        throw;
    }
}

}
