#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QTreeView;

// Directory chooser: a folder tree filling the top, a chooser of the root
// the tree starts from, "OK" and "Cancela".
class TFrmBrowse : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmBrowse(QWidget *parent = nullptr);

    // Shows the chooser modally; the full path of the chosen folder, or an
    // empty string when cancelled.
    static QString choose(QWidget *parent = nullptr, const QString &start = QString());

    // Selects a folder (and the root holding it). Returns false when it does
    // not exist.
    bool setDirectory(const QString &path);
    // The folder selected in the tree, or the root when none is.
    QString directory() const;
    void setRoot(const QString &root);
    QString root() const;

private:
    void rootChosen(int index);

    QTreeView *m_tree = nullptr;
    QComboBox *m_roots = nullptr;
    QFileSystemModel *m_model = nullptr;
};
