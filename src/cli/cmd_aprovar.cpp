#include "cli/clisession.h"
#include "cli/commands.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/retry.h"
#include "maintenance/certificates/certificateapproval.h"

#include <QTextStream>

// corvane-cli aprovar [--home DIR] --user CODE (--completos | NUMERO...)
// (signed in, right AcAprovCertific). Approves in one transaction the listed
// certificates, or every one still to be approved: the same list as the
// approval page (CertificateApproval::candidates). Exit codes: 0 done
// (also when there was nothing to approve); 1 refused or failed, nothing
// approved; 2 bad arguments.
int runAprovar(const QStringList &args)
{
    CliCommand command(args,
                       QStringLiteral("corvane-cli aprovar [--home DIR] --user CODIGO (--completos | NUMERO...)"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    QStringList &words = command.words();
    const bool all = takeFlag(words, QStringLiteral("--completos"));
    for (const QString &w : std::as_const(words))
        if (w.startsWith(QLatin1String("--")))
            return command.usage(QStringLiteral("opção desconhecida: ") + w);
    if (all == !words.isEmpty())
        return command.usage(all ? QStringLiteral("--completos não se combina com números de certificado") : QString());

    if (!command.signIn(&Rights::aprovCertific, QStringLiteral("a aprovação de certificados")))
        return command.exitCode();
    CliSession &session = command.session();
    Database &db = session.db();
    QTextStream out(stdout);
    QTextStream err(stderr);

    try {
        // The list and the approval see the same rows, and run again together.
        QList<CertificateApproval::Approval> done;
        QStringList missing;
        DbRetry::run(db, [&] {
            QList<CertificateKey> keys;
            missing.clear();
            if (all) {
                for (const CertificateApproval::Candidate &c : CertificateApproval::candidates(db))
                    keys.append({c.sigla, c.numCertif});
            } else {
                keys = CertificateApproval::candidatesByNumber(db, words, &missing);
                if (!missing.isEmpty())
                    return;
            }
            done = CertificateApproval::approve(db, keys, session.login().userCode);
        });
        if (!missing.isEmpty()) {
            for (const QString &n : std::as_const(missing))
                err << "Certificado " << n << " não está entre os certificados completos e não aprovados.\n";
            err << "Nenhum certificado foi aprovado.\n";
            return CliExit::Failed;
        }
        for (const CertificateApproval::Approval &a : done)
            out << "Aprovado: " << a.sigla << " " << a.numCertif << " (evento " << a.seqEvento << ")\n";
        out << "Total de certificados aprovados: " << done.size() << "\n";
        return CliExit::Ok;
    } catch (const CertificateApproval::NotCandidates &e) {
        for (const CertificateKey &k : e.keys())
            err << "Certificado " << k.numero << " não está entre os certificados completos e não aprovados.\n";
    } catch (const DbError &e) {
        err << CertificateApproval::ErrorText << "\n" << e.message() << "\n";
    } catch (const AppError &e) {
        err << CertificateApproval::ErrorText << "\n" << e.message() << "\n";
    }
    err << "Nenhum certificado foi aprovado.\n";
    return CliExit::Failed;
}
