#include "remessa/txtsending.h"

#include "base/archive.h"
#include "base/messenger.h"
#include "db/database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace TxtSending {

QString fileMask(const QString &acronym)
{
    return QStringLiteral("TX-") + acronym + QStringLiteral("*.txt");
}

bool matchesMask(const QString &fileName, const QString &acronym)
{
    return QDir::match(fileMask(acronym), fileName);
}

QStringList listFiles(const QString &dir, const QString &acronym)
{
    QDir folder(dir);
    folder.setNameFilters({fileMask(acronym)});
    return folder.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

bool alreadySent(const Database &db, const QString &fileName)
{
    try {
        QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM CONTROLE_TXT WHERE NOMEARQUIVO = ?"), {fileName});
        return q.next();
    } catch (const std::exception &) {
        return false;
    }
}

QString alreadySentMessage(const QString &fileName)
{
    return QStringLiteral("O arquivo ") + fileName + QStringLiteral(" já foi enviado e processado no QUELORA.");
}

QString packageName(const QString &fileName)
{
    const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
    return (dot < 0 ? fileName : fileName.left(dot)) + QStringLiteral(".zip");
}

bool package(const QString &dir, const QString &fileName, Messenger &messenger)
{
    // The archiver moves what it packs: hand it a copy.
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(fileName);
    if (!scratch.isValid() || !QFile::copy(QDir(dir).filePath(fileName), copy)) {
        messenger.error(QStringLiteral("Ocorreu um erro na criação do arquivo."));
        return false;
    }
    return Archive::zip(copy, QDir(dir).filePath(packageName(fileName)), messenger);
}

bool logDelivery(Database &db, const QString &fileName, const QString &remark, const QString &userCode)
{
    try {
        db.execute(QStringLiteral("INSERT INTO CONTROLE_TXT(DATAHORAEVENTO,NOMEARQUIVO,OBS,USURESP,ENVIADOQUELORA) "
                                  "VALUES(?,?,?,?,?)"),
                   {QDateTime::currentDateTime(), fileName, remark, userCode.left(10), QStringLiteral("S")});
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

}
