#include "widgets/folderchooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Where a drive box would stand: the places a folder can be found under.
void addRoots(QComboBox *roots, const QString &home)
{
    roots->addItem(QDir::toNativeSeparators(home), home);
    auto add = [roots](const QString &path) {
        if (roots->findData(path) < 0)
            roots->addItem(QDir::toNativeSeparators(path), path);
    };
    for (const QFileInfo &drive : QDir::drives())
        add(QDir::cleanPath(drive.absoluteFilePath()));
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString path = QDir::cleanPath(volume.rootPath());
        if (path.startsWith(QLatin1String("/proc")) || path.startsWith(QLatin1String("/sys")) ||
            path.startsWith(QLatin1String("/dev")) || path.startsWith(QLatin1String("/run")))
            continue;
        add(path);
    }
}

}

QString cutFolder(const QString &folder, int maxLength)
{
    QString out = QDir::fromNativeSeparators(folder).left(maxLength);
    if (!out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

FolderChooser::FolderChooser(Face face, QWidget *parent)
    : QDialog(parent),
      m_face(face)
{
    setModal(true);
    // Folders only, names alone.
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_tree->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->header()->hide();
    if (face == Face::Transfer)
        buildTransferFace();
    else
        buildSettingsFace();
}

void FolderChooser::buildTransferFace()
{
    setObjectName(QStringLiteral("FrmBrowser"));
    setWindowTitle(QStringLiteral("Escolha de diretório"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
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
    auto *cancel = new QPushButton(QStringLiteral("&Cancela"), this);
    cancel->setObjectName(QStringLiteral("BtCancela"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(caption);
    layout->addWidget(m_current);
    layout->addLayout(buttons);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &FolderChooser::selectionChanged);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    selectionChanged();
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void FolderChooser::buildSettingsFace()
{
    setObjectName(QStringLiteral("FrmBrowse"));
    setWindowTitle(QStringLiteral("Selecionar Diretório"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(360, 420);
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);

    m_roots = new QComboBox(this);
    m_roots->setObjectName(QStringLiteral("DriveComboBox1"));
    const QString home = QDir::cleanPath(QDir::homePath());
    addRoots(m_roots, home);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancela"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_roots, 1);
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(bottom);

    connect(m_roots, &QComboBox::activated, this, [this](int index) { setRoot(m_roots->itemData(index).toString()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree, &QTreeView::doubleClicked, m_tree, [this](const QModelIndex &index) { m_tree->expand(index); });

    setRoot(home);
}

void FolderChooser::setRoot(const QString &root)
{
    if (!m_roots)
        return;
    const QString path = QDir::cleanPath(root);
    int at = m_roots->findData(path);
    if (at < 0) {
        m_roots->addItem(QDir::toNativeSeparators(path), path);
        at = m_roots->count() - 1;
    }
    m_roots->setCurrentIndex(at);
    m_model->setRootPath(path);
    m_tree->setRootIndex(m_model->index(path));
    m_tree->setCurrentIndex(QModelIndex());
}

QString FolderChooser::root() const
{
    return m_roots ? m_roots->currentData().toString() : QString();
}

bool FolderChooser::setDirectory(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) {
        selectionChanged();
        return false;
    }
    const QString target = QDir::cleanPath(info.absoluteFilePath());
    if (m_roots) {
        // The root chosen is the longest known one holding the folder.
        QString best;
        for (int i = 0; i < m_roots->count(); ++i) {
            const QString r = m_roots->itemData(i).toString();
            const bool holds = target == r ||
                target.startsWith(r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/'));
            if (holds && r.size() > best.size())
                best = r;
        }
        if (!best.isEmpty() && best != root())
            setRoot(best);
    }
    const QModelIndex index = m_model->index(target);
    if (index.isValid() && target != root()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    selectionChanged();
    return index.isValid();
}

QString FolderChooser::directory() const
{
    const QModelIndex index = m_tree->currentIndex();
    return index.isValid() ? QDir::cleanPath(m_model->filePath(index)) : root();
}

QString FolderChooser::chosenFolder() const
{
    if (m_face == Face::Settings)
        return directory();
    const QString folder = directory();
    return folder.isEmpty() ? QString() : cutFolder(folder);
}

void FolderChooser::selectionChanged()
{
    if (!m_current)
        return;
    m_current->setText(QDir::toNativeSeparators(directory()));
    m_ok->setEnabled(!directory().isEmpty());
}

QString FolderChooser::choose(Face face, QWidget *parent, const QString &start)
{
    FolderChooser dialog(face, parent);
    // The transfer windows open at the home folder; the settings at the root.
    const QString from = start.isEmpty() && face == Face::Transfer ? QDir::homePath() : start;
    if (!from.isEmpty())
        dialog.setDirectory(from);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenFolder() : QString();
}
