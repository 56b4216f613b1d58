#include "widgets/frmbrowser.h"

#include "widgets/foldertree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

QString browserResult(const QString &folder, int maxLength)
{
    QString out = QDir::fromNativeSeparators(folder).left(maxLength);
    if (!out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

TFrmBrowser::TFrmBrowser(QWidget *parent, const QString &startFolder)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FrmBrowser"));
    setWindowTitle(QStringLiteral("Escolha de diretório"));
    setModal(true);

    const FolderTree::Parts parts = FolderTree::make(this);
    m_model = parts.model;
    m_tree = parts.tree;
    m_model->setRootPath(QString());
    m_tree->setMinimumSize(320, 260);

    auto *caption = new QLabel(QStringLiteral("Diretório selecionado:"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("LbDiretorio"));
    m_current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_current->setWordWrap(true);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("BtOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancela"), this);
    m_cancel->setObjectName(QStringLiteral("BtCancela"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(caption);
    layout->addWidget(m_current);
    layout->addLayout(buttons);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFrmBrowser::DirectoryListBox1Change);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setCurrentFolder(startFolder.isEmpty() ? QDir::homePath() : startFolder);

    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void TFrmBrowser::setCurrentFolder(const QString &folder)
{
    const QModelIndex index = m_model->index(QDir::cleanPath(folder));
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    DirectoryListBox1Change();
}

QString TFrmBrowser::currentFolder() const
{
    const QModelIndex index = m_tree->currentIndex();
    return index.isValid() ? m_model->filePath(index) : QString();
}

QString TFrmBrowser::selectedFolder() const
{
    const QString folder = currentFolder();
    return folder.isEmpty() ? QString() : browserResult(folder);
}

void TFrmBrowser::DirectoryListBox1Change()
{
    m_current->setText(QDir::toNativeSeparators(currentFolder()));
    m_ok->setEnabled(!currentFolder().isEmpty());
}

QString TFrmBrowser::choose(QWidget *parent, const QString &startFolder)
{
    TFrmBrowser dlg(parent, startFolder);
    return dlg.exec() == QDialog::Accepted ? dlg.selectedFolder() : QString();
}
