#include "cli/clisession.h"
#include "cli/commands.h"

#include "base/clock.h"
#include "db/dberror.h"
#include "reports/certificatelists.h"
#include "reports/certificatemirror.h"
#include "reports/certificateselection.h"
#include "reports/expiringcertificates.h"

#include <QDir>
#include <QTextStream>
#include <optional>

// corvane-cli relatorio (espelho|espelho-log|lista|incompletos|prontos|vencendo)
//     [--home DIR] --user CODE [--certificado NUMERO]... [--dias N] (--pdf FILE | --csv FILE)
// Signed in, right AcManBase. Without --certificado every certificate the
// report covers; "vencendo" takes --dias instead (default 60). --csv writes
// the report's list for a spreadsheet (not for the mirrors, which are no
// list). Exit 0 written; 1 refused, nothing selected or not written; 2 bad
// arguments.
int runRelatorio(const QStringList &args)
{
    CliCommand command(args,
                       QStringLiteral("corvane-cli relatorio (espelho|espelho-log|lista|incompletos|prontos|vencendo) "
                                      "[--home DIR] --user CODIGO [--certificado NUMERO]... [--dias N] (--pdf "
                                      "ARQUIVO | --csv ARQUIVO)"));
    if (!command.takeCommonOptions())
        return command.exitCode();
    QStringList &words = command.words();
    QString problem;
    QStringList numbers;
    for (;;) {
        QString number;
        bool given = false;
        if (!takeValueOption(words, QStringLiteral("--certificado"), number, problem, &given))
            return command.usage(problem);
        if (!given)
            break;
        if (number.trimmed().isEmpty())
            return command.usage(QStringLiteral("--certificado não pode ser vazio."));
        numbers << number.trimmed();
    }
    QString pdf, csv, daysText;
    bool pdfGiven = false, csvGiven = false, daysGiven = false;
    if (!takeValueOption(words, QStringLiteral("--pdf"), pdf, problem, &pdfGiven) ||
        !takeValueOption(words, QStringLiteral("--csv"), csv, problem, &csvGiven) ||
        !takeValueOption(words, QStringLiteral("--dias"), daysText, problem, &daysGiven))
        return command.usage(problem);
    if (pdfGiven == csvGiven || (pdfGiven ? pdf : csv).trimmed().isEmpty())
        return command.usage(QStringLiteral("informe o arquivo de saída com --pdf ou com --csv."));
    const QStringList kinds = {QStringLiteral("espelho"), QStringLiteral("espelho-log"),
                               QStringLiteral("lista"),   QStringLiteral("incompletos"),
                               QStringLiteral("prontos"), QStringLiteral("vencendo")};
    if (words.size() != 1 || !kinds.contains(words.first()))
        return command.usage(words.isEmpty() ? QStringLiteral("informe o relatório.") : QString());
    const QString kind = words.first();
    const bool expiring = kind == QLatin1String("vencendo");
    int days = ExpiringCertificates::DefaultDays;
    if (daysGiven) {
        bool ok = false;
        days = daysText.trimmed().toInt(&ok);
        if (!expiring || !ok || days < 0 || days > 36500)
            return command.usage(expiring ? QStringLiteral("--dias deve ser um número de 0 a 36500.")
                                          : QStringLiteral("--dias vale só para o relatório vencendo."));
    }
    if (expiring && !numbers.isEmpty())
        return command.usage(QStringLiteral("--certificado não vale para o relatório vencendo."));
    if (csvGiven && kind.startsWith(QLatin1String("espelho")))
        return command.usage(QStringLiteral("--csv vale para lista, incompletos, prontos e vencendo."));
    const QString output = pdfGiven ? pdf : csv;

    if (!command.signIn(&Rights::manBase, QStringLiteral("a manutenção da base de dados")))
        return command.exitCode();
    CliSession &session = command.session();
    Database &db = session.db();
    const QString userName = session.login().userName;
    QTextStream err(stderr);
    try {
        QStringList unknown;
        for (const QString &n : numbers)
            if (db.scalar(QStringLiteral("select count(*) from CERTIFIC where NumCertif = ?"), {n}).toInt() == 0)
                unknown << n;
        if (!unknown.isEmpty()) {
            err << "Certificado não encontrado: " << unknown.join(QStringLiteral(", ")) << "\n";
            return CliExit::Failed;
        }

        CertificateFilter filter;
        filter.numeros = numbers;
        std::optional<BandedReport> report;
        const bool withLog = kind == QLatin1String("espelho-log");
        bool mirrorPdf = false;
        int found = 0;
        if (expiring) {
            const QDate today = Clock::today();
            const QList<ExpiringCertificates::Row> rows = ExpiringCertificates::list(db, today, days);
            found = int(rows.size());
            if (found > 0)
                report = ExpiringCertificates::report(rows, today, days, userName);
        } else if (kind == QLatin1String("incompletos")) {
            found = IncompleteCertificatesReport::count(db, numbers);
            if (found > 0)
                report = IncompleteCertificatesReport::build(db, userName, numbers);
        } else if (kind == QLatin1String("prontos")) {
            found = ReadyCertificatesReport::count(db, numbers);
            if (found > 0)
                report = ReadyCertificatesReport::build(db, userName, numbers);
        } else {
            found = CertificateSelection::count(db, filter);
            // The mirror (PDF only) is painted as it is read, never held whole.
            mirrorPdf = kind != QLatin1String("lista");
            if (found > 0 && !mirrorPdf)
                report = CertificateListReport::build(db, filter, userName);
        }
        if (found == 0) {
            err << "Nenhum certificado selecionado para o relatório: nada foi gravado.\n";
            return CliExit::Failed;
        }
        if (csvGiven) {
            const QString failure = CsvExport::write(output, report->tableData());
            if (!failure.isEmpty()) {
                err << failure << "\n";
                return CliExit::Failed;
            }
        } else if (QString why;
                   !(mirrorPdf ? CertificateMirrorReport::exportPdf(db, filter, withLog, userName, output, &why)
                               : report->exportPdf(output, &why))) {
            err << "Não foi possível gravar o arquivo " << QDir::toNativeSeparators(output) << ": " << why << "\n";
            return CliExit::Failed;
        }
        QTextStream(stdout) << "Relatório \"" << (mirrorPdf ? CertificateMirrorReport::title() : report->title())
                            << "\" gravado em " << QDir::toNativeSeparators(output) << " ("
                            << CertificateSelection::countText(found) << " certificado(s)).\n";
    } catch (const DbError &e) {
        err << "ERRO: " << e.message() << "\n";
        return CliExit::Failed;
    }
    return CliExit::Ok;
}
