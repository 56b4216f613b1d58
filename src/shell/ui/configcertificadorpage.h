#pragma once
#include "shell/configediting.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

// Page "ConfigCertificador" of the shell: certifier code and name.
class ConfigCertificadorPage : public QWidget
{
    Q_OBJECT
public:
    ConfigCertificadorPage(Database &db, Messenger &messenger, CertifierCopyFn certifierCopy,
                           QWidget *parent = nullptr);

    // Called when the page is shown: reads CONFIG_LOCAL into the edits.
    void enter();
    // The certifier code shown when the page was last entered.
    QString rememberedCode() const { return m_editing.rememberedCode(); }

signals:
    // After "Ok" saved or "Cancela" discarded.
    void leave();

private:
    void save();
    void discard();
    void fill(const ConfigLocal &row);

    Messenger &m_messenger;
    CertifierEditing m_editing;
    ConfigLocal m_row;
    QLineEdit *m_sigla = nullptr;
    QLineEdit *m_nome = nullptr;
    QPushButton *m_ok = nullptr;
};
