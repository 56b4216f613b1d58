// corvane-cli remessa buscar-resultado [--home DIR] --user CODE
// The regulator's verdict on the newest remittance fetched from its result
// folder by FTP, exactly when the control window offers the result step.
#include "cli/clisession.h"

#include "cli/cmd_remessa.h"
#include "remessa/automaticresult.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "shell/configlocal.h"

#include <QTextStream>

namespace {

// The window's memo on stdout, line by line as the fetch goes.
class Printer : public AutomaticResult::Observer
{
public:
    void line(const QString &l) override
    {
        m_out << l << "\n";
        m_out.flush();
    }
    void found(const QString &name) override { line(QStringLiteral("Arquivo de resultado: ") + name); }
    void synchronising(bool accepted) override
    {
        line(accepted ? AutomaticResult::Syncing : AutomaticResult::NothingToSync);
    }

private:
    QTextStream m_out{stdout};
};

}

int runRemessaBuscarResultado(const QStringList &args)
{
    CliCommand command(args, QStringLiteral("corvane-cli remessa buscar-resultado [--home DIR] --user CODIGO"));
    if (!command.takeCommonOptionsOnly() ||
        !command.signIn(&Rights::contRemessas, QStringLiteral("o controle de remessas")))
        return command.exitCode();
    CliSession &session = command.session();
    QTextStream err(stderr);
    try {
        Database &db = session.db();
        const auto newest = RemessaControl::newest(db);
        const QString refusal = RemessaControl::refusal(RemessaControl::Step::Receive, newest);
        if (!refusal.isEmpty()) {
            err << refusal << "\n";
            return CliExit::Failed;
        }
        const RemessaWork work = RemessaWork::from(RemessaControl::workingValues(db), session.login(), *newest);
        const std::optional<ConfigLocal> config = ConfigLocalStore::read(db);
        QString cannot = AutomaticResult::precondition(work);
        if (cannot.isEmpty() && !config)
            cannot = QStringLiteral("O certificador não está configurado.");
        if (!cannot.isEmpty()) {
            err << cannot << "\n";
            return CliExit::Failed;
        }

        Printer printer;
        AutomaticResult::BlockingTransport ftp;
        const AutomaticResult::FetchResult result = AutomaticResult::fetch(db, session.messenger(), work, *config, ftp,
                                                                           printer);
        if (!result.connectError.isEmpty())
            err << result.connectError << "\n";
        switch (result.outcome) {
        case AutomaticResult::Outcome::Accepted: printer.line(AutomaticResult::SyncDone); return CliExit::Ok;
        case AutomaticResult::Outcome::Rejected: return CliExit::Ok;
        case AutomaticResult::Outcome::NotAvailable: return RemessaNoResultYet;
        case AutomaticResult::Outcome::Failed:
            if (!result.verdict.isEmpty() && result.connectError.isEmpty())
                err << AutomaticResult::SyncNotDone << "\n";
            return CliExit::Failed;
        }
    } catch (const std::exception &e) {
        err << "ERRO: " << QString::fromUtf8(e.what()) << "\n";
    }
    return CliExit::Failed;
}
