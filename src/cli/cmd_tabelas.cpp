#include "cli/clisession.h"
#include "cli/commands.h"

#include "db/database.h"
#include "refupdate/refinstall.h"
#include "refupdate/refupdaterun.h"
#include "refupdate/refversion.h"
#include "shell/configlocal.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QString UsageLine = QStringLiteral(
    "corvane-cli tabelas atualizar [--home DIR] --user CODIGO [--pasta DIRETORIO]\n"
    "     corvane-cli tabelas historico [--home DIR] --user CODIGO\n"
    "     corvane-cli tabelas reinstalar [--home DIR] --user CODIGO VERSAO");

int report(const RefUpdate::Outcome &out)
{
    QTextStream o(stdout), err(stderr);
    if (!out.fileName.isEmpty())
        o << "Arquivo: " << out.fileName << "\nVersão encontrada: " << RefVersion::versionOf(out.fileName) << "\n";
    if (out.installed) {
        o << out.result << "\n";
        if (!out.ignored.isEmpty())
            o << out.ignored << "\n";
        return CliExit::Ok;
    }
    if (!out.detail.isEmpty() && out.result == RefInstall::InstallError)
        err << RefInstall::errorBoxText(out.detail) << "\n";
    else
        err << out.result << "\n";
    return CliExit::Failed;
}

}

// corvane-cli tabelas atualizar|historico|reinstalar [--home DIR] --user CODE
// (signed in, right AcAtualTabAux, as the shell's reference-table item). The
// update searches the regulator's FTP folder, or a folder with --pasta, for a
// package newer than the installed one and installs it; the reinstallation
// takes a version of the history from the reception folder. Exit 0 installed
// (or history listed), 1 nothing newer, refused or failed, 2 bad arguments.
int runTabelas(const QStringList &args)
{
    CliCommand command(args, UsageLine);
    QStringList &words = command.words();
    if (words.isEmpty())
        return command.usage();
    const QString action = words.takeFirst();
    if (action != QLatin1String("atualizar") && action != QLatin1String("historico") &&
        action != QLatin1String("reinstalar"))
        return command.usage();
    if (!command.takeCommonOptions())
        return command.exitCode();
    QString problem;
    QString folder;
    bool fromFolder = false;
    if (action == QLatin1String("atualizar") &&
        !takeValueOption(words, QStringLiteral("--pasta"), folder, problem, &fromFolder))
        return command.usage(problem);
    QString version;
    if (action == QLatin1String("reinstalar")) {
        if (words.size() != 1 || words.first().startsWith(QLatin1String("--")))
            return command.usage();
        version = words.takeFirst();
    }
    if (!words.isEmpty())
        return command.usage();
    QTextStream out(stdout), err(stderr);
    if (fromFolder && !QFileInfo(folder).isDir()) {
        err << "Diretório não encontrado: " << QDir::toNativeSeparators(folder) << "\n";
        return CliExit::Usage;
    }

    if (!command.signIn(&Rights::atualTabAux, QStringLiteral("a atualização de tabelas")))
        return command.exitCode();
    Database &db = command.session().db();
    const ConfigLocal config = ConfigLocalStore::read(db).value_or(ConfigLocal());

    if (action == QLatin1String("historico")) {
        const QList<RefVersion::Installation> rows = RefVersion::history(db);
        const RefVersion::Installation now = rows.isEmpty() ? RefVersion::Installation() : rows.first();
        out << "Número da Versão: " << now.version << "\nArquivo da Versão: " << now.fileName << "\n";
        out << "Data/Hora\tVersão Instalada\tArquivo da Versão\n";
        for (const RefVersion::Installation &r : rows)
            out << r.when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) << "\t" << r.version << "\t" << r.fileName
                << "\n";
        return CliExit::Ok;
    }
    if (action == QLatin1String("reinstalar"))
        return report(RefUpdate::reinstall(db, config, version));
    return report(fromFolder ? RefUpdate::updateFromFolder(db, config, folder, {})
                             : RefUpdate::updateByFtp(db, config, {}));
}
