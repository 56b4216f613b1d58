// corvane-cli init [--home DIR] --admin-password SENHA [--demo]
// Creates the program folder's database (db/bdocc.mdb) and work folder.
#include "cli/commands.h"

#include "db/dberror.h"
#include "db/provisioning.h"
#include "shell/apppaths.h"

#include <QDir>
#include <QTextStream>

namespace {

// Exit codes: 0 created, 1 refused or failed, 2 wrong usage.
constexpr int Created = 0;
constexpr int Failed = 1;
constexpr int Usage = 2;

int usage(QTextStream &err, const QString &problem)
{
    err << "corvane-cli init: " << problem << "\n"
        << "uso: corvane-cli init [--home DIRETORIO] --admin-password SENHA [--demo]\n";
    return Usage;
}

}

int runInit(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString home;
    QString password;
    bool havePassword = false;
    bool demo = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--home") || a == QLatin1String("--admin-password")) {
            if (i + 1 >= args.size())
                return usage(err, QStringLiteral("falta o valor de %1.").arg(a));
            (a == QLatin1String("--home") ? home : password) = args.at(++i);
            if (a == QLatin1String("--admin-password"))
                havePassword = true;
        } else if (a.startsWith(QLatin1String("--home="))) {
            home = a.mid(7);
        } else if (a.startsWith(QLatin1String("--admin-password="))) {
            password = a.mid(17);
            havePassword = true;
        } else {
            return usage(err, QStringLiteral("opção desconhecida: %1").arg(a));
        }
    }
    if (!havePassword)
        return usage(err, QStringLiteral("informe a senha do administrador com --admin-password."));
    if (!home.isEmpty())
        AppPaths::setProgramDir(home);

    const QString dir = AppPaths::programDir();
    const QString dbFile = AppPaths::dbFile();
    try {
        Provisioning::Options options;
        options.adminPassword = password;
        options.demo = demo;
        options.programDir = dir;
        Provisioning::createDatabase(dbFile, options);
        if (!QDir().mkpath(AppPaths::workDir()))
            throw AppError(QStringLiteral("Não foi possível criar a pasta de trabalho %1.")
                               .arg(QDir::toNativeSeparators(AppPaths::workDir())));
    } catch (const AppError &e) {
        err << "corvane-cli init: " << e.message() << "\n";
        return Failed;
    } catch (const DbError &e) {
        err << "corvane-cli init: erro do banco de dados: " << e.message() << "\n";
        return Failed;
    }

    out << "Banco de dados criado em " << QDir::toNativeSeparators(dbFile) << "\n"
        << "Pasta do programa: " << QDir::toNativeSeparators(dir) << "\n"
        << "Usuário administrador: " << Provisioning::AdminCode << "\n";
    if (demo)
        out << "Dados de demonstração incluídos (certificador " << Provisioning::DemoCertifier << ").\n";
    return Created;
}
