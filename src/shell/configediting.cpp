#include "shell/configediting.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "shell/copysettings.h"

ConfigEditing::ConfigEditing(Database &db, Messenger &messenger, CertifierCopyFn certifierCopy)
    : m_db(db),
      m_messenger(messenger),
      m_copy(std::move(certifierCopy))
{ }

void ConfigEditing::reload()
{
    m_stored = ConfigLocalStore::read(m_db).value_or(ConfigLocal{});
    if (m_copy)
        m_copy(m_stored.siglaCertificador);
}

const ConfigLocal &ConfigEditing::open()
{
    reload();
    return m_stored;
}

const ConfigLocal &ConfigEditing::cancel()
{
    reload();
    return m_stored;
}

bool ConfigEditing::write(const ConfigLocal &edited)
{
    try {
        ConfigLocalStore::save(m_db, edited);
        reload();
    } catch (const DbError &e) {
        m_messenger.warning(e.message());
        return false;
    }
    return true;
}

QString CertifierEditing::normalizedCode(const QString &typed)
{
    return typed.trimmed().toUpper();
}

bool CertifierEditing::confirm(ConfigLocal edited)
{
    edited.siglaCertificador = normalizedCode(edited.siglaCertificador);
    if (edited.siglaCertificador.isEmpty()) {
        m_messenger.plain(ConfigTexts::EmptyCertifier, ConfigTexts::EditError);
        return false;
    }
    if (edited.siglaCertificador != rememberedCode() &&
        !m_messenger.confirm(ConfigTexts::ChangeCertifier, ConfigTexts::CertifierCaption))
        return false;
    return write(edited);
}

const ConfigLocal &DirectoryEditing::openForEditing()
{
    m_editable = false;
    const ConfigLocal &row = open();
    m_editable = !row.siglaCertificador.isEmpty();
    if (!m_editable)
        m_messenger.plain(ConfigTexts::NotConfigured, ConfigTexts::EditError);
    return row;
}

bool DirectoryEditing::confirm(const ConfigLocal &edited, int copiesToKeep)
{
    if (!m_editable)
        return true;
    try {
        Transaction tx(m_db);
        CopySettings::setKeep(m_db, copiesToKeep);
        if (!confirm(edited))
            return false; // told already; the guard rolls the setting back
        tx.commit();
    } catch (const DbError &e) {
        m_messenger.warning(e.message());
        return false;
    }
    return true;
}

bool DirectoryEditing::confirm(const ConfigLocal &edited)
{
    if (!m_editable)
        return true;
    // Only this page's columns: the certifier is not its to change.
    ConfigLocal row = stored();
    for (const QString &column : ConfigLocal::columns())
        if (column.compare(QLatin1String("SiglaCertificador"), Qt::CaseInsensitive) != 0 &&
            column.compare(QLatin1String("NomeOCC"), Qt::CaseInsensitive) != 0)
            row.setValue(column, edited.value(column));
    row.arqCertificadoTLS = edited.arqCertificadoTLS;
    return write(row);
}
