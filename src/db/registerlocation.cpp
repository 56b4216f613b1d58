#include "db/registerlocation.h"

#include "base/apperror.h"
#include "base/apppaths.h"
#include "db/database.h"
#include "db/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace RegisterLocation {

namespace {
const QString AddressKey = QStringLiteral("servidor/endereco");
}

QString configFile()
{
    return AppPaths::dbDir() + QStringLiteral("conexao.ini");
}

std::optional<ServerAddress> server()
{
    const QString file = configFile();
    if (!QFileInfo::exists(file))
        return std::nullopt;
    QSettings ini(file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        throw AppError(QStringLiteral("Não foi possível ler %1.").arg(QDir::toNativeSeparators(file)));
    const QString address = ini.value(AddressKey).toString().trimmed();
    if (address.isEmpty())
        throw AppError(QStringLiteral("%1 não informa o endereço do servidor (chave endereco da seção [servidor]).")
                           .arg(QDir::toNativeSeparators(file)));
    return ServerAddress::parse(address);
}

void writeServer(const ServerAddress &address)
{
    const QString file = configFile();
    if (!QDir().mkpath(AppPaths::dbDir()))
        throw AppError(
            QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(AppPaths::dbDir())));
    // Made exclusively: of two runs pointing one folder at once, exactly one
    // gets the file and the other is told it exists.
    QFile out(file);
    const QByteArray text = "; Banco de dados da pasta do programa. A senha vem de PGPASSWORD, ~/.pgpass ou de um "
                            "arquivo de serviço.\n[servidor]\nendereco=" +
        address.uri().toUtf8() + "\n";
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(file))
            throw AppError(QStringLiteral("O arquivo %1 já existe. Nenhum banco de dados foi criado.")
                               .arg(QDir::toNativeSeparators(file)));
        throw AppError(
            QStringLiteral("Não foi possível gravar %1: %2").arg(QDir::toNativeSeparators(file), out.errorString()));
    }
    if (out.write(text) != text.size() || !out.flush()) {
        const QString why = out.errorString();
        out.close();
        out.remove();
        throw AppError(QStringLiteral("Não foi possível gravar %1: %2").arg(QDir::toNativeSeparators(file), why));
    }
}

void open(Database &db)
{
    std::optional<ServerAddress> address;
    try {
        address = server();
    } catch (const AppError &e) {
        throw DbError(e.message());
    }
    if (address)
        db.openServer(*address);
    else
        db.open(AppPaths::dbFile());
}

QString describe()
{
    try {
        if (const std::optional<ServerAddress> address = server())
            return QStringLiteral("servidor ") + address->shortText();
    } catch (const AppError &) {
        return QDir::toNativeSeparators(configFile());
    }
    return QDir::toNativeSeparators(AppPaths::dbFile());
}

}
