#include "shell/ui/tfrmbrowse.h"

#include "widgets/foldertree.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

TFrmBrowse::TFrmBrowse(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmBrowse"));
    setWindowTitle(QStringLiteral("Selecionar Diretório"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    resize(360, 420);

    const FolderTree::Parts parts = FolderTree::make(this);
    m_model = parts.model;
    m_tree = parts.tree;
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);

    // Where a drive box would stand: the places a folder can be found under.
    m_roots = new QComboBox(this);
    m_roots->setObjectName(QStringLiteral("DriveComboBox1"));
    const QString home = QDir::cleanPath(QDir::homePath());
    m_roots->addItem(QDir::toNativeSeparators(home), home);
    for (const QFileInfo &drive : QDir::drives()) {
        const QString path = QDir::cleanPath(drive.absoluteFilePath());
        if (m_roots->findData(path) < 0)
            m_roots->addItem(QDir::toNativeSeparators(path), path);
    }
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString path = QDir::cleanPath(volume.rootPath());
        if (path.startsWith(QLatin1String("/proc")) || path.startsWith(QLatin1String("/sys")) ||
            path.startsWith(QLatin1String("/dev")) || path.startsWith(QLatin1String("/run")))
            continue;
        if (m_roots->findData(path) < 0)
            m_roots->addItem(QDir::toNativeSeparators(path), path);
    }

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancela"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_roots, 1);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(bottom);

    connect(m_roots, &QComboBox::activated, this, &TFrmBrowse::rootChosen);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree, &QTreeView::doubleClicked, m_tree, [this](const QModelIndex &index) { m_tree->expand(index); });

    setRoot(home);
}

void TFrmBrowse::rootChosen(int index)
{
    setRoot(m_roots->itemData(index).toString());
}

void TFrmBrowse::setRoot(const QString &root)
{
    const QString path = QDir::cleanPath(root);
    int at = m_roots->findData(path);
    if (at < 0) {
        m_roots->addItem(QDir::toNativeSeparators(path), path);
        at = m_roots->count() - 1;
    }
    m_roots->setCurrentIndex(at);
    m_model->setRootPath(path);
    const QModelIndex index = m_model->index(path);
    m_tree->setRootIndex(index);
    m_tree->setCurrentIndex(QModelIndex());
}

QString TFrmBrowse::root() const
{
    return m_roots->currentData().toString();
}

bool TFrmBrowse::setDirectory(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    const QString target = QDir::cleanPath(info.absoluteFilePath());
    // The root chosen is the longest known one holding the folder.
    QString best;
    for (int i = 0; i < m_roots->count(); ++i) {
        const QString r = m_roots->itemData(i).toString();
        const bool holds = target == r || target.startsWith(r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/'));
        if (holds && r.size() > best.size())
            best = r;
    }
    if (!best.isEmpty() && best != root())
        setRoot(best);
    const QModelIndex index = m_model->index(target);
    if (!index.isValid())
        return false;
    if (target != root()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    return true;
}

QString TFrmBrowse::directory() const
{
    // Nothing selected below the root: the root itself is the choice.
    const QModelIndex index = m_tree->currentIndex();
    return index.isValid() ? QDir::cleanPath(m_model->filePath(index)) : root();
}

QString TFrmBrowse::choose(QWidget *parent, const QString &start)
{
    TFrmBrowse dialog(parent);
    if (!start.isEmpty())
        dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.directory();
}
