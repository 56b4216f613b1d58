#pragma once
#include <QDialog>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

// Folder chooser: a folder tree, the folder currently selected and OK/Cancel.
class TFrmBrowser : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxLength = 100;

    explicit TFrmBrowser(QWidget *parent = nullptr, const QString &startFolder = QString());

    void setCurrentFolder(const QString &folder);
    QString currentFolder() const;
    // The current folder cut to MaxLength characters, ending in "/".
    QString selectedFolder() const;

    // The chosen folder as above, or an empty text when cancelled.
    static QString choose(QWidget *parent = nullptr, const QString &startFolder = QString());

private:
    void DirectoryListBox1Change();

    QFileSystemModel *m_model;
    QTreeView *m_tree;
    QLabel *m_current;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// Cuts a folder path to maxLength characters and appends "/" when missing.
QString browserResult(const QString &folder, int maxLength = TFrmBrowser::MaxLength);
