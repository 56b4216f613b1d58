#pragma once
#include "maintenance/certificates/certificate.h"
#include "register/statusevents.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>

class Database;
class Messenger;

namespace DocNormTexts {
inline const QString Received = QStringLiteral(
    "Este registro não pode ser apagado do certificado, pois já foi aprovado para emissão para o Quelora.");
inline const QString ConfirmDelete = QStringLiteral("Confirma a Exclusão do Histórico?");
inline const QString StatusError = QStringLiteral("Erro ao gerar o Status!");
inline const QString NoneToAdd = QStringLiteral(
    "Não há documentos normativos ativos da classe do certificado que ainda possam ser incluídos neste item.");
}

// The queries of the normative documents over the
// documents linked to one item of a certificate: the whole
// certificate (its products), a product type, a lot, a unit or a service of
// one company. Lists the links, offers the documents that may still be
// linked, and adds, removes and changes the status of links, each with its
// event (HistoricoSis "02") and the certificate's approval withdrawn.
class DocNormLinks
{
public:
    enum class Mode { DadosGerais, Tipo, Lote, Unidade, Servicos };

    // The mode of a maintenance tab's caption; nothing for a tab without documents.
    static std::optional<Mode> modeOf(const QString &caption);
    static QString caption(Mode mode);
    // The text shown under "Atenção".
    static QString attention(Mode mode);

    // The item in view. Product modes use the certificate's IdClasseProd;
    // the type key for types, lots and units; NumLote or NumSerieProd.
    struct Item
    {
        CertificateKey certificate;
        QString idClasseCertif;
        QVariant idClasseProd;
        QDateTime issue;
        QString marcaProd;
        QString modeloProd;
        int importado = 0;
        QString numLote;
        QString numSerieProd;
        int idClasseServ = 0;
        QString codigoPais;
        QString idEmpresa;
    };
    // The item from a tab's current row (column names as the database
    // spells them, any case) and the certificate's own row.
    static Item itemFrom(const Certificate &certificate, const QVariantMap &row);

    struct Link
    {
        int idDocNorm = 0;
        QString nomeTitulo;
        QString tipoDoc;
        QString idClasseCertif;
        int idClasse = 0; // IdClasseProd, or IdClasseServ for services
        QString status;
        QDateTime dataEntrada;
    };
    struct Candidate
    {
        int idDocNorm = 0;
        QString nomeTitulo;
        QString tipoDoc;
        int idTipoDoc = 0;
        QString idClasseCertif;
        int idClasse = 0;
    };
    struct DocType
    {
        int idTipoDoc = 0;
        QString tipoDoc;
    };

    DocNormLinks(Database &db, Messenger &messenger, const QString &userCode, Mode mode, const Item &item);

    Mode mode() const { return m_mode; }
    const Item &item() const { return m_item; }
    QString linkTable() const;
    StatusEvents::Table eventTable() const;

    // The item's links by document. Raises DbError.
    QList<Link> links() const;
    // Active documents of the certificate's class the item may still get,
    // optionally of one document type only. Raises DbError.
    QList<Candidate> candidates(std::optional<int> idTipoDoc = std::nullopt) const;
    QList<DocType> documentTypes() const;

    // Links a document from the entry date typed ("dd/mm/yyyy"). False when
    // the date is refused or the write failed (the message was shown).
    bool add(const Candidate &document, const QString &entryDate);
    // The regulator already holds the link (its replica has the row).
    bool received(const Link &link) const;
    // Removes the link (its events stay). False on failure (message shown).
    bool remove(const Link &link);
    // New status letter with its event; false on failure (message shown).
    bool changeStatus(const Link &link, const QString &letter, const QString &justification, const QDate &statusDate);

    // The item's own key columns: the certificate and the item beyond it.
    StatusEvents::ItemKey itemKey() const;
    // The full key of a link, as its event table and the history window take it.
    StatusEvents::ItemKey linkKey(const Link &link) const;

private:
    QString classColumn() const; // IdClasseProd or IdClasseServ
    QString statusColumn() const;
    QString statusDateColumn() const;
    QString entryColumn() const;
    QString docTable() const;
    // Item columns beyond the certificate: the type key, NumLote/NumSerieProd, company.
    QStringList itemColumns() const;
    QVariant itemValue(const QString &column) const;
    void finishChange(); // approval withdrawn, completeness worked out again

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    Mode m_mode;
    Item m_item;
};
