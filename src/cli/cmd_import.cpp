#include "cli/commands.h"

#include "db/database.h"
#include "db/dberror.h"
#include "import/importrun.h"
#include "shell/apppaths.h"
#include "shell/shared/messenger.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// corvane-cli import [--home DIR] --user CODE DIR
// Exit codes: 0 every file imported; 1 a file failed (rolled back, error
// logs beside it); 3 no failure but a file was skipped (certifier,
// duplicate, unreadable); 2 bad arguments, database or user.
int runImport(const QStringList &args)
{
    QTextStream err(stderr);
    QString home, user, dir;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--home") && i + 1 < args.size())
            home = args.at(++i);
        else if (a == QLatin1String("--user") && i + 1 < args.size())
            user = args.at(++i);
        else if (!a.startsWith(QLatin1String("--")) && dir.isEmpty())
            dir = a;
        else {
            dir.clear();
            break;
        }
    }
    if (user.isEmpty() || dir.isEmpty()) {
        err << "uso: corvane-cli import [--home DIR] --user CODIGO DIRETORIO\n";
        return 2;
    }
    if (!QFileInfo(dir).isDir()) {
        err << "Diretório não encontrado: " << QDir::toNativeSeparators(dir) << "\n";
        return 2;
    }
    if (!home.isEmpty())
        AppPaths::setProgramDir(home);

    Database db;
    try {
        db.open(AppPaths::dbFile());
        // The user stands in for the logged-in user: it must exist.
        const QVariant known =
            db.scalar(QStringLiteral("select SiglaUsu from USU_LOCAL where SiglaUsu = ?"), {user});
        if (!known.isValid()) {
            err << "Usuário não cadastrado: " << user << "\n";
            return 2;
        }
        user = known.toString();
    } catch (const DbError &e) {
        err << e.message() << "\n";
        return 2;
    }

    ConsoleMessenger messenger;
    const QString folder = QDir(dir).absolutePath();
    const QStringList files = ImportRun::listFiles(folder);
    if (files.isEmpty()) {
        QTextStream(stdout) << "Nenhum arquivo TX-*.txt em " << QDir::toNativeSeparators(folder) << "\n";
        return 0;
    }
    messenger.information(QStringLiteral("IMPORTANTE: Se o tamanho do arquivo a ser importado exceder a capacidade de "
                                         "memória RAM deste equipamento a rotina poderá ser interrompida antes do "
                                         "término."));
    ImportRun run(QStringLiteral("KESTRAVO"), db, user, messenger);
    int code = 0;
    try {
        run.run(folder, files);
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
        code = 1;
    }
    ImportRun::showImportErrors(QStringLiteral("KESTRAVO"), run.failedFiles(), messenger);
    ImportRun::deleteLogs(folder);
    if (run.anyFailed())
        return 1;
    for (const auto &r : run.results())
        if (r.outcome == ImportRun::Outcome::Skipped)
            code = code ? code : 3;
    return code;
}
