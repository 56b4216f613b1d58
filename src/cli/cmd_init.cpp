// corvane-cli init [--home DIR] [--db postgresql://USUARIO@SERVIDOR:PORTA/BANCO] --admin-password SENHA [--demo]
// Creates the program folder's database (db/bdocc.mdb), or the register in
// an empty server database that the folder then points at (db/conexao.ini),
// and the work folder.
#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/madefolders.h"

#include "base/apppaths.h"
#include "db/dberror.h"
#include "db/provisioning.h"
#include "db/registerlocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Exit codes: 0 created, 1 refused or failed, 2 wrong usage.
constexpr int Created = 0;
constexpr int Failed = 1;

// A database that another run made meanwhile needs the folders this run
// happened to make first: they stay then.
void undoUnlessTaken(MadeFolders &folders, const QString &dbFile)
{
    if (!QFileInfo::exists(dbFile))
        folders.undo();
}

}

int runInit(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    // No one signs in yet: only the program folder is shared with the other commands.
    CliCommand command(args,
                       QStringLiteral("corvane-cli init [--home DIRETORIO] [--db postgresql://USUARIO@SERVIDOR:PORTA/"
                                      "BANCO] --admin-password SENHA [--demo]"),
                       QStringLiteral("corvane-cli init"));
    QStringList &words = command.words();
    CliCommonOptions &home = command.options();
    QString password, problem, serverText;
    bool havePassword = false, haveServer = false;
    if (!takeValueOption(words, QStringLiteral("--home"), home.home, problem, &home.homeGiven) ||
        !takeValueOption(words, QStringLiteral("--admin-password"), password, problem, &havePassword) ||
        !takeValueOption(words, QStringLiteral("--db"), serverText, problem, &haveServer))
        return command.usage(problem);
    const bool demo = takeFlag(words, QStringLiteral("--demo"));
    if (!words.isEmpty())
        return command.unknownOption();
    if (home.homeGiven && home.home.trimmed().isEmpty())
        return command.usage(QStringLiteral("--home não pode ser vazio."));
    if (!havePassword)
        return command.usage(QStringLiteral("informe a senha do administrador com --admin-password."));
    std::optional<ServerAddress> server;
    if (haveServer) {
        try {
            server = ServerAddress::parse(serverText);
        } catch (const AppError &e) {
            return command.usage(e.message());
        }
    }
    home.useProgramFolder();
    const QString config = RegisterLocation::configFile();

    const QString dir = AppPaths::programDir();
    const QString dbFile = AppPaths::dbFile();
    MadeFolders folders;
    try {
        Provisioning::Options options;
        options.adminPassword = password;
        options.demo = demo;
        options.programDir = dir;
        Provisioning::checkedAdminPassword(password);
        // A folder keeps one register: its own file or one server's.
        for (const QString &taken : {dbFile, config})
            if (QFileInfo::exists(taken))
                throw AppError(QStringLiteral("O arquivo %1 já existe. Nenhum banco de dados foi criado.")
                                   .arg(QDir::toNativeSeparators(taken)));
        // Every folder first: a folder that cannot be made stops the run
        // before there is a database to leave behind.
        folders.make(AppPaths::dbDir());
        folders.make(AppPaths::workDir());
        if (demo)
            for (const QString &f : Provisioning::demoFolders())
                folders.make(QDir(dir).filePath(f));
        if (server) {
            // The address first: a folder that cannot hold it leaves the
            // server database untouched.
            RegisterLocation::writeServer(*server);
            try {
                Provisioning::createOnServer(*server, options);
            } catch (...) {
                QFile::remove(config);
                throw;
            }
        } else {
            Provisioning::createDatabase(dbFile, options);
        }
    } catch (const AppError &e) {
        undoUnlessTaken(folders, server ? config : dbFile);
        err << "corvane-cli init: " << e.message() << "\n";
        return Failed;
    } catch (const DbError &e) {
        undoUnlessTaken(folders, server ? config : dbFile);
        err << "corvane-cli init: erro do banco de dados: " << e.userMessage() << "\n";
        return Failed;
    }

    out << "Banco de dados criado em "
        << (server ? QStringLiteral("servidor ") + server->shortText() : QDir::toNativeSeparators(dbFile)) << "\n"
        << "Pasta do programa: " << QDir::toNativeSeparators(dir) << "\n"
        << "Usuário administrador: " << Provisioning::AdminCode << "\n";
    if (demo)
        out << "Dados de demonstração incluídos (certificador " << Provisioning::DemoCertifier << ").\n";
    return Created;
}
