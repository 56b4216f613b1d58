#pragma once
#include "shell/configediting.h"

#include <QMap>
#include <QWidget>
#include <functional>

class QLineEdit;
class QSpinBox;
class QPushButton;

// Page "ConfiguraDiretorios" of the shell: local folders, the regulator's FTP
// addresses and the mail settings.
class ConfiguraDiretoriosPage : public QWidget
{
    Q_OBJECT
public:
    // Asks for a folder, starting at the current one; empty when cancelled.
    using DirectoryChooser = std::function<QString(QWidget *parent, const QString &current)>;

    ConfiguraDiretoriosPage(Database &db, Messenger &messenger, CertifierCopyFn certifierCopy,
                            QWidget *parent = nullptr);

    // Called when the page is shown: reads CONFIG_LOCAL into the edits.
    void enter();
    bool editable() const { return m_editing.editable(); }
    // Replaces the directory chooser (the settings face of the folder chooser by default).
    void setDirectoryChooser(DirectoryChooser chooser) { m_chooser = std::move(chooser); }

signals:
    // After "Ok" saved or "Cancela" discarded.
    void leave();

private:
    QLineEdit *addEdit(QWidget *group, const QString &name, const QString &column);
    void browse(QLineEdit *target);
    void fill(const ConfigLocal &row);
    void save();
    void discard();

    Database &m_db;
    Messenger &m_messenger;
    DirectoryEditing m_editing;
    QSpinBox *m_copies = nullptr; // database copies kept in db/copias
    DirectoryChooser m_chooser;
    ConfigLocal m_row;
    QMap<QString, QLineEdit *> m_edits; // by column
    QList<QPushButton *> m_browse;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
