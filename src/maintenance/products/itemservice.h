#pragma once
#include "maintenance/products/certificateitem.h"

#include <QDate>
#include <optional>

class Database;
class Messenger;

namespace ItemTexts {
inline const QString Blank = QStringLiteral("Existem campos obrigatórios em branco !!! Reveja a inclusão ou edição...");
inline const QString BlankCaption = QStringLiteral("Campos em branco");
inline const QString CompanyMissing = QStringLiteral("Favor selecionar a empresa vinculada.");
inline const QString ProductExists = QStringLiteral("Este produto já existe !!!. Cancele a Operação.");
inline const QString ServiceExists = QStringLiteral("Este serviço já existe !!!. Cancele a Operação.");
inline const QString DuplicateCaption = QStringLiteral("Erro de chave duplicada");
inline const QString SerialViolation = QStringLiteral(
    "Número de série já incluido para este produto !!! Cancele a inclusão...");
inline const QString ServiceViolation = QStringLiteral(
    "Este serviço já está cadastrado neste certificado !!! Cancele a inclusão...");
inline const QString Approved = QStringLiteral(
    "Este registro não pode ser apagado do certificado, pois já foi aprovado para emissão para o Quelora.");
inline const QString DeleteCaption = QStringLiteral("Erro de deleção");
inline const QString ConfirmProduct = QStringLiteral("Confirma a exclusão do produto?");
inline const QString ConfirmService = QStringLiteral("Confirma a exclusão do serviço?");
inline const QString FabricationDate = QStringLiteral(
    "Formato de data inválido ou data superior a data atual! Tente novamente.");
// A service keeps its class while documents of that class are attached to it.
QString classChangeRefused(const QStringList &documents);
inline const QString ClassChangeCaption = QStringLiteral("Erro de Edição");
inline const QString ValidityDate = QStringLiteral(
    "Formato de data inválido ou data inferior a data de fabricação do lote! Tente novamente.");
}

// The writes of the products and services tabs: inclusion and edit (with
// the event the certificate's approval calls for and its events following a
// changed key), removal with its events, status changes. Every write runs in
// one transaction, clears the certificate's approval and stores its
// completeness again; problems are told through the messenger.
class ItemService
{
public:
    enum class Result { Saved, Refused, Failed };

    // The open certificate as the rules need it.
    struct Certificate
    {
        CertificateKey key;
        QDateTime issue;
        // The regulator may hold the certificate (RegulatorHolding): changes
        // need a justification and an event.
        bool approvedBefore = false;
    };

    ItemService(Database &db, Messenger &messenger, const QString &userCode, ItemKind kind);

    // The checks before anything is asked or written: required fields, the
    // linked company, the lot's dates, the duplicate test and the entry date
    // (typed in `entryDate`, taken into `edited` when it passes). `old` is
    // the item as loaded for an edit, nothing for an inclusion.
    bool check(const Certificate &certificate, const std::optional<CertificateItem> &old, CertificateItem &edited,
               const QString &entryDate);
    // Writes a checked item. `justification` is the answer an approved
    // certificate needs (nothing when it was never approved).
    Result apply(const Certificate &certificate, const std::optional<CertificateItem> &old, CertificateItem edited,
                 const std::optional<QString> &justification);

    // The lot "Data de Fabricação" and "Data de Validade" boxes: empty when
    // accepted, else the message (caption "Erro de entrada de dados").
    static QString fabricationProblem(const QString &box, const QDate &today);
    static QString validityProblem(const QString &validityBox, const QString &fabricationBox);

    // An item the regulator may hold (RegulatorHolding) never goes: on an
    // approved certificate only one included after the last approval may.
    // Shows the refusal.
    bool removalAllowed(const CertificateItem &item);
    QString removalQuestion() const;
    // Removes the item with its events; refused (shown) when the regulator
    // may hold it by now.
    Result remove(const Certificate &certificate, const CertificateItem &item);

    // Event code of a new status letter ("S" "SUS", "A" "REA", "C" "CAN").
    Result changeStatus(const Certificate &certificate, const CertificateItem &item, const QString &letter,
                        const QString &justification, const QDate &statusDate);

private:
    bool required(const CertificateItem &edited);
    bool duplicate(const std::optional<CertificateItem> &old, const CertificateItem &edited);
    bool classChangeStrandsDocuments(const std::optional<CertificateItem> &old, const CertificateItem &edited);
    void finish(const CertificateKey &certificate);
    void fail(const std::exception &e);

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    ItemKind m_kind;
};
