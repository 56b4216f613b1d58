#include "cli/clisession.h"
#include "cli/commands.h"

#include "db/database.h"
#include "remessa/foldertransfer.h"
#include "remessa/packagetransfer.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "remessa/txtsending.h"
#include "shell/configlocal.h"
#include "shell/exceptionhandler.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// corvane-cli txt enviar [--home DIR] --user CODE FILE (--ftp | --email | --pasta DIR)
// (signed in, right AcContRemessas, as the menu item that opens the window).
// Sends one TXT migration file packed under its stem, as the transfer windows
// do, and logs it in CONTROLE_TXT. Exit 0 sent and logged, 1 refused or
// failed (the reason on stderr), 2 bad arguments.
int runTxt(const QStringList &args)
{
    CliCommand command(args,
                       QStringLiteral("corvane-cli txt enviar [--home DIR] --user CODIGO ARQUIVO (--ftp | --email "
                                      "| --pasta DIRETORIO)"));
    QStringList &words = command.words();
    if (words.isEmpty() || words.takeFirst() != QLatin1String("enviar"))
        return command.usage();
    if (!command.takeCommonOptions())
        return command.exitCode();
    QString problem;
    const bool ftp = takeFlag(words, QStringLiteral("--ftp"));
    const bool email = takeFlag(words, QStringLiteral("--email"));
    QString destination;
    bool toFolder = false;
    if (!takeValueOption(words, QStringLiteral("--pasta"), destination, problem, &toFolder))
        return command.usage(problem);
    if (int(ftp) + int(email) + int(toFolder) != 1)
        return command.usage(QStringLiteral("escolha um modo: --ftp, --email ou --pasta"));
    if (words.size() != 1 || words.first().startsWith(QLatin1String("--")))
        return command.usage();
    const QFileInfo file(words.first());
    QTextStream out(stdout), err(stderr);
    if (toFolder && !QFileInfo(destination).isDir()) {
        err << "Diretório não encontrado: " << QDir::toNativeSeparators(destination) << "\n";
        return CliExit::Usage;
    }

    if (!command.signIn(&Rights::contRemessas, QStringLiteral("o envio de arquivos TXT")))
        return command.exitCode();
    CliSession &session = command.session();
    Database &db = session.db();
    const std::optional<ConfigLocal> config = ConfigLocalStore::read(db);
    if (!config || config->siglaCertificador.isEmpty()) {
        err << "O certificador não está configurado.\n";
        return CliExit::Failed;
    }
    const QString name = file.fileName();
    const QString dir = file.absolutePath();
    if (!file.isFile() || file.size() <= 0) {
        err << PackageTransfer::FileNotFound << "\n";
        return CliExit::Failed;
    }
    if (!TxtSending::matchesMask(name, config->siglaCertificador)) {
        err << "O arquivo " << name << " não é um arquivo TXT deste certificador ("
            << TxtSending::fileMask(config->siglaCertificador) << ").\n";
        return CliExit::Failed;
    }
    if (TxtSending::alreadySent(db, name)) {
        err << TxtSending::alreadySentMessage(name) << "\n";
        return CliExit::Failed;
    }
    // Sent as the transfer windows send it, from the file's own folder.
    RemessaWork work = RemessaWork::from(RemessaControl::workingValues(db), session.login());
    work.transferDir = dir;
    try {
        if (toFolder) {
            FolderTransferObserver quiet;
            const FolderTransfer::Result r = FolderTransfer::run(db, session.messenger(), work, name,
                                                                 QDir(destination).absolutePath(), quiet);
            (r.status == FolderTransfer::Status::Done ? out : err) << r.text << "\n";
            return r.status == FolderTransfer::Status::Done ? CliExit::Ok : CliExit::Failed;
        }
        const auto print = [&out](const QString &line) {
            out << line << "\n";
            out.flush();
        };
        PackageTransfer transfer(db, session.messenger(), work, name,
                                 ftp ? PackageTransfer::Mode::Ftp : PackageTransfer::Mode::Email);
        transfer.setLines(print);
        transfer.setConnectFailure(print);
        return transfer.run() == PackageTransfer::Outcome::Delivered ? CliExit::Ok : CliExit::Failed;
    } catch (const std::exception &e) {
        err << ExceptionHandler::messageOf(e) << "\n";
        return CliExit::Failed;
    }
}
