#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

// The folder chooser of every window: a tree of folders with "OK" and
// "Cancela", in the two faces the windows have always shown.
// - Transfer (the transfer windows): the whole file system, the folder
//   chosen shown under the tree; the result is cut to MaxLength characters
//   and ends in "/".
// - Settings (the directory settings): a box with the root the tree starts
//   from; with nothing selected the root itself is the choice.
class FolderChooser : public QDialog
{
    Q_OBJECT
public:
    enum class Face { Transfer, Settings };
    static constexpr int MaxLength = 100;

    explicit FolderChooser(Face face, QWidget *parent = nullptr);

    // Selects a folder (and, in the Settings face, the root holding it).
    // Returns false when it does not exist.
    bool setDirectory(const QString &path);
    // The folder selected; with none, the root (Settings) or an empty text.
    QString directory() const;
    // The Settings face's root.
    void setRoot(const QString &root);
    QString root() const;
    // The choice as the face gives it back.
    QString chosenFolder() const;

    // Modal, at start when given; the chosen folder, or an empty text when
    // cancelled.
    static QString choose(Face face, QWidget *parent = nullptr, const QString &start = QString());

private:
    void buildTransferFace();
    void buildSettingsFace();
    void selectionChanged();

    Face m_face;
    QFileSystemModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QLabel *m_current = nullptr; // Transfer
    QPushButton *m_ok = nullptr;
    QComboBox *m_roots = nullptr; // Settings
};

// Cuts a folder path to maxLength characters and appends "/" when missing.
QString cutFolder(const QString &folder, int maxLength = FolderChooser::MaxLength);
