#include "reports/ui/reportpreview.h"

#include "reports/ui/bandedreport.h"

#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace ReportPreview {

void preparePrinter(QPrinter &printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
}

void exec(const BandedReport &report, QWidget *parent)
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
    dialog.exec();
}

void print(const BandedReport &report, QPrinter &printer)
{
    printer.setDocName(report.title());
    report.render(printer);
}

}
