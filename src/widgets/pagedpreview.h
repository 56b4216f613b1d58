#pragma once
#include <QDialog>
#include <QList>

class Messenger;
class PagedReport;
class QAction;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;

// The print preview of a report too long to hold whole: one block of it is
// painted at a time and the user moves from block to block; printing and the
// PDF take the whole report, painted as it is read.
class PagedPreview : public QDialog
{
public:
    PagedPreview(PagedReport &report, QPrinter &printer, Messenger &messenger, QWidget *parent = nullptr);

    int block() const { return m_block; }
    void showBlock(int block);
    // Shows the report; returns when the preview is closed.
    static void run(PagedReport &report, QWidget *parent, Messenger &messenger);

private:
    void paint(QPrinter *printer);
    void updateBar();
    void showPage(int page);
    void printAll();
    void exportPdf();

    PagedReport &m_report;
    QPrinter &m_printer;
    Messenger &m_messenger;
    QPrintPreviewWidget *m_view = nullptr;
    QLabel *m_blockLabel = nullptr;
    QLabel *m_pageLabel = nullptr;
    QAction *m_previousBlock = nullptr;
    QAction *m_nextBlock = nullptr;
    int m_block = 0;
    // The first page number of each block reached so far: a block's pages
    // are counted when it is painted, so blocks are reached in turn.
    QList<int> m_firstPages{1};
};
