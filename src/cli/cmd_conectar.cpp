// corvane-cli conectar [--home DIR] --db postgresql://USUARIO@SERVIDOR:PORTA/BANCO
// Points a new program folder at a register already on a server: the
// folders of a workstation and db/conexao.ini, once the server has been
// reached and holds a register of this version.
#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/madefolders.h"

#include "base/apppaths.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/registerlocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Exit codes: 0 pointed, 1 refused or failed, 2 wrong usage.
constexpr int ConnectPointed = 0;
constexpr int ConnectFailed = 1;

}

int runConectar(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliCommand command(
        args, QStringLiteral("corvane-cli conectar [--home DIRETORIO] --db postgresql://USUARIO@SERVIDOR:PORTA/BANCO"),
        QStringLiteral("corvane-cli conectar"));
    QStringList &words = command.words();
    CliCommonOptions &home = command.options();
    QString problem, serverText;
    bool haveServer = false;
    if (!takeValueOption(words, QStringLiteral("--home"), home.home, problem, &home.homeGiven) ||
        !takeValueOption(words, QStringLiteral("--db"), serverText, problem, &haveServer))
        return command.usage(problem);
    if (!words.isEmpty())
        return command.unknownOption();
    if (home.homeGiven && home.home.trimmed().isEmpty())
        return command.usage(QStringLiteral("--home não pode ser vazio."));
    if (!haveServer)
        return command.usage(QStringLiteral("informe o endereço do servidor com --db."));
    ServerAddress server;
    try {
        server = ServerAddress::parse(serverText);
    } catch (const AppError &e) {
        return command.usage(e.message());
    }
    home.useProgramFolder();
    const QString config = RegisterLocation::configFile();
    const QString dbFile = AppPaths::dbFile();

    MadeFolders folders;
    try {
        // A folder keeps one register; its own file goes to a server by migrar.
        if (QFileInfo::exists(dbFile))
            throw AppError(QStringLiteral("A pasta do programa já tem a sua própria base de dados (%1). Para "
                                          "levá-la ao servidor, use corvane-cli migrar --para. Nada foi alterado.")
                               .arg(QDir::toNativeSeparators(dbFile)));
        if (QFileInfo::exists(config))
            throw AppError(QStringLiteral("O arquivo %1 já existe: a pasta do programa já aponta para um servidor. "
                                          "Nada foi alterado.")
                               .arg(QDir::toNativeSeparators(config)));
        // Reached, and holding a register this version reads, before the
        // folder points at it.
        {
            Database db(QStringLiteral("corvane-conectar"));
            db.openServer(server);
            db.close();
        }
        folders.make(AppPaths::dbDir());
        folders.make(AppPaths::workDir());
        RegisterLocation::writeServer(server);
    } catch (const AppError &e) {
        folders.undo();
        err << "corvane-cli conectar: " << e.message() << "\n";
        return ConnectFailed;
    } catch (const DbError &e) {
        folders.undo();
        err << "corvane-cli conectar: erro do banco de dados: " << e.userMessage() << "\n";
        return ConnectFailed;
    }
    out << "A pasta do programa " << QDir::toNativeSeparators(AppPaths::programDir()) << " aponta para o servidor "
        << server.shortText() << ".\n"
        << "Entre com um usuário cadastrado na base do servidor.\n";
    return ConnectPointed;
}
