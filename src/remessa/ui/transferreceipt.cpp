#include "remessa/ui/transferreceipt.h"

#include "remessa/remessawork.h"

#include <QDateTime>

namespace TransferReceipt {

BandedReport forFolderCopy(const RemessaWork &work, const QString &copiedPath)
{
    BandedReport report(QStringLiteral("Comprovante de Transferência de Arquivo"));
    report.setUserName(work.userName);
    report.addHeaderLine(QStringLiteral("(arquivo gravado para envio)"));
    report.addHeaderLine(QStringLiteral("OCC: ") + work.acronym + QStringLiteral(" - ") + work.occName);
    report.addFields({{QStringLiteral("Número da Remessa:"), work.remittance.number},
                      {QStringLiteral("Arquivo Transferido:"), copiedPath}});
    report.addSection(QStringLiteral("Observações"));
    report.addText(QStringLiteral("Usuário Responsável : ") + work.userName);
    report.addText(QStringLiteral("Gravação de arquivo realizada com sucesso."));
    report.addSpacer(4);
    const QDateTime now = QDateTime::currentDateTime();
    report.addFields({{QStringLiteral("Data:"), now.toString(QStringLiteral("dd/MM/yyyy"))},
                      {QStringLiteral("Hora:"), now.toString(QStringLiteral("HH:mm:ss"))}});
    return report;
}

}

namespace TransferReceipt {

BandedReport forTransfer(const RemessaWork &work, const QString &fileName, const QStringList &remarks)
{
    BandedReport report(QStringLiteral("Comprovante de Transferência de Arquivo"));
    report.setUserName(work.userName);
    report.addHeaderLine(QStringLiteral("OCC: ") + work.acronym + QStringLiteral(" - ") + work.occName);
    report.addFields({{QStringLiteral("Número da Remessa:"), work.remittance.number},
                      {QStringLiteral("Arquivo Transferido:"), fileName}});
    report.addSection(QStringLiteral("Observações"));
    for (const QString &line : remarks)
        report.addText(line);
    report.addSpacer(4);
    const QDateTime now = QDateTime::currentDateTime();
    report.addFields({{QStringLiteral("Data:"), now.toString(QStringLiteral("dd/MM/yyyy"))},
                      {QStringLiteral("Hora:"), now.toString(QStringLiteral("HH:mm:ss"))}});
    return report;
}

}

namespace TransferReceipt {

BandedReport forResult(const RemessaWork &work, const QString &resultName, const QString &verdict,
                       const QStringList &memo)
{
    BandedReport report(QStringLiteral("Comprovante de Transferência de Arquivo"));
    report.setUserName(work.userName);
    report.addHeaderLine(QStringLiteral("OCC: ") + work.acronym + QStringLiteral(" - ") + work.occName);
    report.addFields({{QStringLiteral("Número da Remessa:"), work.remittance.number},
                      {QStringLiteral("Arquivo Recebido do Quelora:"), resultName},
                      {QStringLiteral("Resultado da Remessa:"),
                       verdict == QLatin1String("OK")
                           ? QStringLiteral("Remessa foi considerada válida e a base de dados foi atualizada")
                           : QStringLiteral("Remessa foi invalidada pelo Quelora e exigirá nova remessa")}});
    report.addSection(QStringLiteral("Relatório Recebido do Quelora:"));
    for (const QString &line : memo)
        report.addText(line);
    report.addSpacer(4);
    const QDateTime now = QDateTime::currentDateTime();
    report.addFields({{QStringLiteral("Data:"), now.toString(QStringLiteral("dd/MM/yyyy"))},
                      {QStringLiteral("Hora:"), now.toString(QStringLiteral("HH:mm:ss"))}});
    return report;
}

}
