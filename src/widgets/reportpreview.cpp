#include "widgets/reportpreview.h"

#include "base/messenger.h"
#include "reports/bandedreport.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace ReportPreview {

void preparePrinter(QPrinter &printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
}

void exec(const BandedReport &report, QWidget *parent, Messenger &messenger)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    printer.setDocName(report.title());
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("ReportPreview"));
    dialog.setWindowTitle(QStringLiteral("Visualização de Impressão - ") + report.title());
    dialog.resize(900, 760);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter *target) { report.render(*target); });
    // Staff keep reports as files as often as they print them.
    if (auto *toolbar = dialog.findChild<QToolBar *>()) {
        toolbar->addSeparator();
        QAction *pdf = toolbar->addAction(QStringLiteral("Exportar PDF..."));
        pdf->setObjectName(QStringLiteral("actExportarPdf"));
        pdf->setToolTip(QStringLiteral("Salvar o relatório em um arquivo PDF"));
        QObject::connect(pdf, &QAction::triggered, &dialog, [&report, &dialog, &messenger] {
            const QString path = QFileDialog::getSaveFileName(
                &dialog, QStringLiteral("Exportar PDF"), QDir::home().filePath(report.title() + QStringLiteral(".pdf")),
                QStringLiteral("Arquivos PDF (*.pdf)"));
            QString why;
            if (!path.isEmpty() && !report.exportPdf(path, &why))
                messenger.warning(QStringLiteral("Não foi possível gravar o arquivo ") +
                                      QDir::toNativeSeparators(path) + QStringLiteral(": ") + why,
                                  QStringLiteral("Exportar PDF"));
        });
    }
    dialog.exec();
}

void print(const BandedReport &report, QPrinter &printer)
{
    printer.setDocName(report.title());
    report.render(printer);
}

}
