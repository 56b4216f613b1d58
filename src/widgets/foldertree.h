#pragma once
class QFileSystemModel;
class QTreeView;
class QWidget;

// The folder tree both folder choosers show: folders only, names alone.
namespace FolderTree {
struct Parts
{
    QFileSystemModel *model;
    QTreeView *tree;
};
Parts make(QWidget *parent);
}
