#include "widgets/pagedpreview.h"

#include "base/messenger.h"
#include "reports/pagedreport.h"
#include "shell/exceptionhandler.h"
#include "widgets/reportpreview.h"
#include "widgets/waitcursor.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

PagedPreview::PagedPreview(PagedReport &report, QPrinter &printer, Messenger &messenger, QWidget *parent)
    : QDialog(parent),
      m_report(report),
      m_printer(printer),
      m_messenger(messenger)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Visualização de Impressão - ") + report.title());
    resize(900, 760);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Printing, zoom and the pages on top; the blocks of the report under it.
    auto *bar = new QToolBar(this);
    auto *blocks = new QToolBar(this);
    layout->addWidget(bar);
    layout->addWidget(blocks);
    m_view = new QPrintPreviewWidget(&m_printer, this);
    m_view->setObjectName(QStringLiteral("PreviewPaginas"));
    layout->addWidget(m_view, 1);

    auto action = [this](QToolBar *on, const QString &text, const char *name, auto slot) {
        QAction *a = on->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    action(bar, QStringLiteral("Imprimir..."), "actImprimir", [this] {
        printAll();
    })->setToolTip(QStringLiteral("Imprimir o relatório inteiro"));
    // Staff keep reports as files as often as they print them.
    action(bar, QStringLiteral("Exportar PDF..."), "actExportarPdf", [this] {
        exportPdf();
    })->setToolTip(QStringLiteral("Salvar o relatório em um arquivo PDF"));
    bar->addSeparator();
    action(bar, QStringLiteral("Ampliar"), "actAmpliar", [this] { m_view->zoomIn(); });
    action(bar, QStringLiteral("Reduzir"), "actReduzir", [this] { m_view->zoomOut(); });
    bar->addSeparator();
    action(bar, QStringLiteral("<"), "actPaginaAnterior", [this] { showPage(m_view->currentPage() - 1); });
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setObjectName(QStringLiteral("LbPagina"));
    bar->addWidget(m_pageLabel);
    action(bar, QStringLiteral(">"), "actProximaPagina", [this] { showPage(m_view->currentPage() + 1); });

    m_previousBlock = action(blocks, QStringLiteral("<< Certificados anteriores"), "actBlocoAnterior",
                             [this] { showBlock(m_block - 1); });
    m_blockLabel = new QLabel(blocks);
    m_blockLabel->setObjectName(QStringLiteral("LbBloco"));
    blocks->addWidget(m_blockLabel);
    m_nextBlock = action(blocks, QStringLiteral("Próximos certificados >>"), "actProximoBloco",
                         [this] { showBlock(m_block + 1); });

    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &PagedPreview::paint);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &PagedPreview::updateBar);
    updateBar();
}

void PagedPreview::showBlock(int block)
{
    // A block's first page is known once the one before it was painted.
    if (block < 0 || block >= m_report.blockCount() || block >= m_firstPages.size())
        return;
    m_block = block;
    m_view->updatePreview();
    showPage(1);
    updateBar();
}

void PagedPreview::paint(QPrinter *printer)
{
    WaitCursor wait;
    guard(m_messenger, [&] {
        const int pages = m_report.renderBlock(m_block, *printer, m_firstPages.at(m_block));
        if (m_block + 1 == m_firstPages.size() && m_block + 1 < m_report.blockCount())
            m_firstPages << m_firstPages.at(m_block) + pages;
    });
}

void PagedPreview::updateBar()
{
    m_blockLabel->setText(QStringLiteral(" ") + m_report.blockLabel(m_block) + QStringLiteral(" "));
    const int first = m_firstPages.at(m_block);
    const int current = first + qMax(1, m_view->currentPage()) - 1;
    m_pageLabel->setText(
        QStringLiteral(" Página %1 (%2 a %3) ").arg(current).arg(first).arg(first + qMax(1, m_view->pageCount()) - 1));
    m_previousBlock->setEnabled(m_block > 0);
    m_nextBlock->setEnabled(m_block + 1 < m_firstPages.size());
}

void PagedPreview::showPage(int page)
{
    if (page < 1 || page > m_view->pageCount())
        return;
    m_view->setCurrentPage(page);
    updateBar();
}

void PagedPreview::printAll()
{
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    WaitCursor wait;
    guard(m_messenger, [&] { m_report.render(m_printer); });
    // The preview draws on the same printer: paint the block again.
    m_view->updatePreview();
}

void PagedPreview::exportPdf()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar PDF"),
                                                      QDir::home().filePath(m_report.title() + QStringLiteral(".pdf")),
                                                      QStringLiteral("Arquivos PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString why;
    bool written = false;
    {
        WaitCursor wait;
        if (!guard(m_messenger, [&] { written = m_report.exportPdf(path, &why); }))
            return;
    }
    if (!written)
        m_messenger.warning(QStringLiteral("Não foi possível gravar o arquivo ") + QDir::toNativeSeparators(path) +
                                QStringLiteral(": ") + why,
                            QStringLiteral("Exportar PDF"));
}

void PagedPreview::run(PagedReport &report, QWidget *parent, Messenger &messenger)
{
    QPrinter printer(QPrinter::HighResolution);
    ReportPreview::preparePrinter(printer);
    printer.setDocName(report.title());
    PagedPreview dialog(report, printer, messenger, parent);
    dialog.exec();
}
