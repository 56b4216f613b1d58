#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The workstation's configuration: the one row of CONFIG_LOCAL, every column.
// Empty and NULL columns both read as an empty string.
struct ConfigLocal
{
    QString siglaCertificador;
    QString nomeOCC;
    QString dirLocalSincr;
    QString dirLocalTransf;
    QString dirLocalRecepAux;
    QString endQueloraEnvio;
    QString endQueloraResult;
    QString endQueloraOrigAux;
    QString loginFTP;
    QString senhaFTP;
    QString endSMTPHost;
    QString endSMTPPort;
    QString endSMTPUsuario;
    QString endSMTPUsuReply;
    QString endSMTPEMailReply;
    // A certificate file (PEM) that servers speaking TLS may present besides
    // those the system trusts. Kept apart from CONFIG_LOCAL, whose row is
    // sent to the regulator in every remittance.
    QString arqCertificadoTLS;

    // The name value() and setValue() know arqCertificadoTLS by.
    static const QString CertificateFile;

    // Column names of CONFIG_LOCAL in table order.
    static const QStringList &columns();
    // By column name (case-insensitive), CertificateFile included; unknown
    // names read empty / are ignored.
    QString value(const QString &column) const;
    void setValue(const QString &column, const QString &value);

    bool operator==(const ConfigLocal &) const = default;
};

namespace ConfigLocalStore {

// The first row, or nothing when the table is empty. Raises DbError.
std::optional<ConfigLocal> read(const Database &db);
// Current certifier code ("" when not configured).
QString certifier(const Database &db);
int rowCount(const Database &db);
// Writes the row: updates the first row (only the columns whose value
// differs) or inserts one into an empty table. The certifier code is stored
// in upper case; empty texts are stored as NULL. A configured certifier code
// is also given to every user that has none. Raises DbError.
void save(Database &db, const ConfigLocal &config);
// Declared width of a column (0 when unknown).
int width(const QString &column);

}
