#include "widgets/foldertree.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

namespace FolderTree {

Parts make(QWidget *parent)
{
    auto *model = new QFileSystemModel(parent);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model->setReadOnly(true);
    auto *tree = new QTreeView(parent);
    tree->setObjectName(QStringLiteral("DirectoryListBox1"));
    tree->setModel(model);
    for (int c = 1; c < model->columnCount(); ++c)
        tree->hideColumn(c);
    tree->header()->hide();
    return {model, tree};
}

}
