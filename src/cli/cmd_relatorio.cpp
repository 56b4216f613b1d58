#include "cli/clisession.h"
#include "cli/commands.h"

#include "db/dberror.h"
#include "reports/certificatelists.h"
#include "reports/certificateselection.h"
#include "reports/trelespelhocertiflog.h"

#include <QDir>
#include <QTextStream>
#include <optional>

// corvane-cli relatorio (espelho|espelho-log|lista|incompletos|prontos)
//     [--home DIR] --user CODE [--certificado NUMERO]... --pdf FILE
// Signed in, right AcManBase. Without --certificado every certificate the
// report covers. Exit 0 written; 1 refused, nothing selected or not written;
// 2 bad arguments.
int runRelatorio(const QStringList &args)
{
    const QString usageLine = QStringLiteral(
        "corvane-cli relatorio (espelho|espelho-log|lista|incompletos|prontos) [--home DIR] --user CODIGO "
        "[--certificado NUMERO]... --pdf ARQUIVO");
    QStringList words = args;
    CliCommonOptions options;
    QString problem = options.take(words);
    if (!problem.isEmpty())
        return cliUsage(problem, usageLine);
    QStringList numbers;
    for (;;) {
        QString number;
        bool given = false;
        if (!takeValueOption(words, QStringLiteral("--certificado"), number, problem, &given))
            return cliUsage(problem, usageLine);
        if (!given)
            break;
        if (number.trimmed().isEmpty())
            return cliUsage(QStringLiteral("--certificado não pode ser vazio."), usageLine);
        numbers << number.trimmed();
    }
    QString pdf;
    bool pdfGiven = false;
    if (!takeValueOption(words, QStringLiteral("--pdf"), pdf, problem, &pdfGiven))
        return cliUsage(problem, usageLine);
    if (!pdfGiven || pdf.trimmed().isEmpty())
        return cliUsage(QStringLiteral("informe o arquivo de saída com --pdf."), usageLine);
    const QStringList kinds = {QStringLiteral("espelho"), QStringLiteral("espelho-log"), QStringLiteral("lista"),
                               QStringLiteral("incompletos"), QStringLiteral("prontos")};
    if (words.size() != 1 || !kinds.contains(words.first()))
        return cliUsage(words.isEmpty() ? QStringLiteral("informe o relatório.") : QString(), usageLine);
    const QString kind = words.first();

    CliSession session;
    if (!session.open(options, &Rights::manBase, QStringLiteral("a manutenção da base de dados")))
        return CliExit::Failed;
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
        int found = 0;
        if (kind == QLatin1String("incompletos")) {
            found = TFrmRelCertInc::count(db, numbers);
            if (found > 0)
                report = TFrmRelCertInc::build(db, userName, numbers);
        } else if (kind == QLatin1String("prontos")) {
            found = TFrmRelCertPront::count(db, numbers);
            if (found > 0)
                report = TFrmRelCertPront::build(db, userName, numbers);
        } else {
            found = CertificateSelection::count(db, filter);
            if (found > 0)
                report = kind == QLatin1String("lista")
                             ? TRelLista::build(db, filter, userName)
                             : TRelEspelhoCertifLog::build(db, filter, kind == QLatin1String("espelho-log"), userName);
        }
        if (found == 0) {
            err << "Nenhum certificado selecionado para o relatório: nada foi gravado.\n";
            return CliExit::Failed;
        }
        QString why;
        if (!report->exportPdf(pdf, &why)) {
            err << "Não foi possível gravar o arquivo " << QDir::toNativeSeparators(pdf) << ": " << why << "\n";
            return CliExit::Failed;
        }
        QTextStream(stdout) << "Relatório \"" << report->title() << "\" gravado em " << QDir::toNativeSeparators(pdf)
                            << " (" << CertificateSelection::countText(found) << " certificado(s)).\n";
    } catch (const DbError &e) {
        err << "ERRO: " << e.message() << "\n";
        return CliExit::Failed;
    }
    return CliExit::Ok;
}
