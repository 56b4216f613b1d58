#pragma once
#include <QString>

class QPagedPaintDevice;

// A report too long to hold whole, cut into blocks that are painted one at a
// time: the preview shows one block, the printout and the PDF paint every
// block in turn, each as it is read. A block's pages are numbered on from
// the previous block's last page.
class PagedReport
{
public:
    virtual ~PagedReport() = default;
    virtual QString title() const = 0;
    // At least one, an empty report being one empty block.
    virtual int blockCount() const = 0;
    // What the block holds, for the preview's block bar.
    virtual QString blockLabel(int block) const = 0;
    // Paints the block, its pages numbered from firstPage; returns its pages
    // (0 when the device could not be painted on). Raises DbError.
    virtual int renderBlock(int block, QPagedPaintDevice &device, int firstPage) = 0;
    // Every block onto one device. Raises DbError.
    virtual int render(QPagedPaintDevice &device) = 0;
    // Raises DbError (nothing is then left at path).
    virtual bool exportPdf(const QString &path, QString *why = nullptr) = 0;
};
