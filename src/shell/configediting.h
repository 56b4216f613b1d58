#pragma once
#include "shell/configlocal.h"

#include <QString>
#include <functional>

class Database;
class Messenger;

// Receives the certifier code each time CONFIG_LOCAL is read or written, so
// the shell's copy follows the table.
using CertifierCopyFn = std::function<void(const QString &)>;

namespace ConfigTexts {
inline const QString EditError = QStringLiteral("Erro de Edição");
inline const QString EmptyCertifier = QStringLiteral("A sigla do Certificador não pode estar em branco.");
inline const QString CertifierCaption = QStringLiteral("Edição do Certificador");
inline const QString ChangeCertifier = QStringLiteral(
    "A sigla do Certificador só deve ser alterada sob orientação do Quelora. Você tem certeza de quer prosseguir?");
inline const QString NotConfigured = QStringLiteral("As configuraçãoes do Certificador não foram cadastradas.");
}

// The editing of CONFIG_LOCAL behind a configuration page: the row is read
// when the page opens, kept while it is edited, and saved or discarded.
class ConfigEditing
{
public:
    ConfigEditing(Database &db, Messenger &messenger, CertifierCopyFn certifierCopy = {});
    virtual ~ConfigEditing() = default;

    // Reads the row (an empty table starts a blank one). Raises DbError.
    const ConfigLocal &open();
    // Discards the edit and reads the table again. Raises DbError.
    const ConfigLocal &cancel();
    const ConfigLocal &stored() const { return m_stored; }

protected:
    // Saves; a database error is reported and leaves the edit pending.
    bool write(const ConfigLocal &edited);
    Database &m_db;
    Messenger &m_messenger;

private:
    void reload();
    CertifierCopyFn m_copy;
    ConfigLocal m_stored;
};

// Certifier code and name.
class CertifierEditing : public ConfigEditing
{
public:
    using ConfigEditing::ConfigEditing;
    // The code shown when the page was opened.
    QString rememberedCode() const { return stored().siglaCertificador; }
    // "Ok": true when saved (the page may close); false keeps the edit.
    bool confirm(ConfigLocal edited);
    // The form a typed code is kept in.
    static QString normalizedCode(const QString &typed);
};

// Folders, FTP addresses and mail settings. Editable only once the certifier
// has been configured.
class DirectoryEditing : public ConfigEditing
{
public:
    using ConfigEditing::ConfigEditing;
    // Opens and tells the user when the row cannot be edited.
    const ConfigLocal &openForEditing();
    bool editable() const { return m_editable; }
    // "Ok": saves when editable; true when the page may close.
    bool confirm(const ConfigLocal &edited);
    // The same, with the number of database copies to keep, saved together.
    bool confirm(const ConfigLocal &edited, int copiesToKeep);

private:
    bool m_editable = false;
};
