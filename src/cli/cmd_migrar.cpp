// corvane-cli migrar [--home DIR] --para postgresql://USUARIO@SERVIDOR:PORTA/BANCO
// corvane-cli migrar [--home DIR] --para-arquivo CAMINHO
// Moves the program folder's register from its file to an empty server
// database, pointing the folder at the server once every table matched (the
// file stays as it was); or writes the folder's register, wherever it is,
// into a new file as a backup.
// Exit codes: 0 done; 1 refused or failed (nothing pointed, no file left);
// 2 bad arguments.
#include "cli/clisession.h"
#include "cli/commands.h"

#include "base/apppaths.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/registercopy.h"
#include "db/registerlocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

QString totals(const QList<RegisterTables::Sum> &sums)
{
    qint64 rows = 0;
    for (const RegisterTables::Sum &s : sums)
        rows += s.rows;
    return QStringLiteral("%1 tabelas e %2 linhas copiadas e conferidas").arg(sums.size()).arg(rows);
}

int toServer(const ServerAddress &address)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString config = RegisterLocation::configFile();
    bool pointed = false;
    try {
        if (const std::optional<ServerAddress> current = RegisterLocation::server())
            throw AppError(
                QStringLiteral("A pasta do programa já aponta para o servidor %1.").arg(current->shortText()));
        const QString file = AppPaths::dbFile();
        if (!QFileInfo::exists(file))
            throw AppError(QStringLiteral("O arquivo %1 não foi encontrado.").arg(QDir::toNativeSeparators(file)));
        Database db;
        db.open(file);
        // Nobody writes to the file meanwhile: what is copied is all there is.
        db.holdExclusively();
        const QList<RegisterTables::Sum> sums = RegisterCopy::toServer(db, address, [&] {
            RegisterLocation::writeServer(address);
            pointed = true;
        });
        out << "Migração concluída: " << totals(sums) << ".\n"
            << "A pasta do programa aponta agora para o servidor " << address.shortText() << ". O arquivo "
            << QDir::toNativeSeparators(file) << " ficou como estava.\n";
        return CliExit::Ok;
    } catch (const AppError &e) {
        err << "corvane-cli migrar: " << e.message();
    } catch (const DbError &e) {
        err << "corvane-cli migrar: erro do banco de dados: " << e.userMessage();
    }
    if (pointed)
        QFile::remove(config);
    err << "\nNada foi migrado; a pasta do programa continua como estava.\n";
    return CliExit::Failed;
}

int toFile(const QString &path)
{
    QTextStream err(stderr);
    try {
        Database db;
        RegisterLocation::open(db);
        const QList<RegisterTables::Sum> sums = RegisterCopy::toFile(db, path);
        QTextStream(stdout) << "Cópia de " << db.describe() << " gravada em " << QDir::toNativeSeparators(path) << ": "
                            << totals(sums) << ".\n";
        return CliExit::Ok;
    } catch (const AppError &e) {
        err << "corvane-cli migrar: " << e.message() << "\n";
    } catch (const DbError &e) {
        err << "corvane-cli migrar: erro do banco de dados: " << e.userMessage() << "\n";
    }
    return CliExit::Failed;
}

}

int runMigrar(const QStringList &args)
{
    CliCommand command(args,
                       QStringLiteral("corvane-cli migrar [--home DIRETORIO] (--para postgresql://USUARIO@SERVIDOR:"
                                      "PORTA/BANCO | --para-arquivo CAMINHO)"),
                       QStringLiteral("corvane-cli migrar"));
    QStringList &words = command.words();
    CliCommonOptions &home = command.options();
    QString serverText, fileText, problem;
    bool toServerGiven = false, toFileGiven = false;
    if (!takeValueOption(words, QStringLiteral("--home"), home.home, problem, &home.homeGiven) ||
        !takeValueOption(words, QStringLiteral("--para"), serverText, problem, &toServerGiven) ||
        !takeValueOption(words, QStringLiteral("--para-arquivo"), fileText, problem, &toFileGiven))
        return command.usage(problem);
    if (!words.isEmpty())
        return command.unknownOption();
    if (home.homeGiven && home.home.trimmed().isEmpty())
        return command.usage(QStringLiteral("--home não pode ser vazio."));
    if (toServerGiven == toFileGiven)
        return command.usage(QStringLiteral("informe --para ou --para-arquivo (um dos dois)."));
    if (toFileGiven && fileText.trimmed().isEmpty())
        return command.usage(QStringLiteral("--para-arquivo não pode ser vazio."));
    ServerAddress address;
    if (toServerGiven) {
        try {
            address = ServerAddress::parse(serverText);
        } catch (const AppError &e) {
            return command.usage(e.message());
        }
    }
    // The file's path as typed, before the program folder changes nothing of it.
    const QString file = toFileGiven ? QFileInfo(fileText).absoluteFilePath() : QString();
    home.useProgramFolder();
    return toServerGiven ? toServer(address) : toFile(file);
}
