#include "maintenance/products/itemservice.h"
#include "register/sendabletext.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/retry.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/existencecheck.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/products/itemstore.h"
#include "maintenance/products/typequeries.h"
#include "register/regulatorholding.h"

QString ItemTexts::classChangeRefused(const QStringList &documents)
{
    return QStringLiteral("A classe do serviço não pode ser alterada enquanto houver documentos normativos "
                          "vinculados a ele: %1. Exclua-os em \"Doc. Normativos\" antes de mudar a classe.")
        .arg(documents.join(QStringLiteral("; ")));
}

ItemService::ItemService(Database &db, Messenger &messenger, const QString &userCode, ItemKind kind)
    : m_db(db),
      m_msg(messenger),
      m_user(userCode),
      m_kind(kind)
{ }

bool ItemService::required(const CertificateItem &e)
{
    auto blank = [this] {
        m_msg.error(ItemTexts::Blank, ItemTexts::BlankCaption);
        return false;
    };
    switch (m_kind) {
    case ItemKind::Tipo:
        if (!e.hasProduct()) {
            m_msg.error(TypeQueries::ProdutorEmBranco);
            return false;
        }
        if (!e.hasCompany()) {
            m_msg.error(TypeQueries::EmpresaEmBranco);
            return false;
        }
        return true;
    case ItemKind::Lote:
        if (!e.hasProduct() || e.numLote.trimmed().isEmpty() || e.quantLote.trimmed().isEmpty() ||
            !e.dataFabrLote.isValid())
            return blank();
        break;
    case ItemKind::Unidade:
        if (!e.hasProduct() || e.numSerieProd.isEmpty())
            return blank();
        break;
    case ItemKind::Servico:
        if (e.codigoPais.trimmed().isEmpty() || e.idEmpresa.trimmed().isEmpty() || e.idClasseServ == 0)
            return blank();
        return true;
    }
    // A product is always linked to one of the certificate's companies.
    if (!e.hasCompany()) {
        m_msg.error(ItemTexts::CompanyMissing, ItemTexts::BlankCaption);
        return false;
    }
    return true;
}

bool ItemService::duplicate(const std::optional<CertificateItem> &old, const CertificateItem &e)
{
    if (m_kind == ItemKind::Tipo) {
        // An edit keeps its product: only an inclusion can meet another type.
        if (old || !TypeQueries(m_db).exists(e))
            return false;
        m_msg.error(TypeQueries::duplicateMessage(e));
        return true;
    }
    // The row itself, its key merely retyped in another letter case, is no
    // duplicate of itself.
    if (old && !CertificateItems::keyDiffers(m_kind, *old, e, true))
        return false;
    ExistenceCheck::Key k;
    k.siglaCertificador = e.siglaCertificador;
    k.numCertif = e.numCertif;
    k.codigoPais = e.codigoPais;
    k.idEmpresa = e.idEmpresa;
    k.marcaProd = e.marcaProd;
    k.modeloProd = e.modeloProd;
    k.importado = e.importado;
    k.numLote = e.numLote;
    k.numSerieProd = e.numSerieProd;
    k.idClasseServ = e.idClasseServ;
    if (!ExistenceCheck::exists(m_db, CertificateItems::info(m_kind).existenceKind, k))
        return false;
    m_msg.error(m_kind == ItemKind::Servico ? ItemTexts::ServiceExists : ItemTexts::ProductExists,
                ItemTexts::DuplicateCaption);
    return true;
}

bool ItemService::classChangeStrandsDocuments(const std::optional<CertificateItem> &old, const CertificateItem &e)
{
    // Documents belong to the service's class: moved to another one they
    // would name a document that class does not have.
    if (m_kind != ItemKind::Servico || !old || old->idClasseServ == e.idClasseServ)
        return false;
    const QStringList documents = ItemStore::serviceDocuments(m_db, *old);
    if (documents.isEmpty())
        return false;
    m_msg.error(ItemTexts::classChangeRefused(documents), ItemTexts::ClassChangeCaption);
    return true;
}

QString ItemService::fabricationProblem(const QString &box, const QDate &today)
{
    if (MaintenanceDates::isBlank(box))
        return {};
    const QDate d = MaintenanceDates::parse(box);
    if (!d.isValid() || d > today)
        return ItemTexts::FabricationDate;
    return {};
}

QString ItemService::validityProblem(const QString &validityBox, const QString &fabricationBox)
{
    const QDate valid = MaintenanceDates::parse(validityBox);
    const QDate made = MaintenanceDates::parse(fabricationBox);
    if (!valid.isValid() || valid.year() >= MaintenanceDates::YearLimit || !made.isValid() || valid < made)
        return ItemTexts::ValidityDate;
    return {};
}

bool ItemService::check(const Certificate &certificate, const std::optional<CertificateItem> &old,
                        CertificateItem &edited, const QString &entryDate)
{
    edited.siglaCertificador = certificate.key.sigla;
    edited.numCertif = certificate.key.numero;
    if (m_kind == ItemKind::Tipo && MaintenanceDates::isBlank(entryDate) && edited.hasProduct() &&
        edited.hasCompany()) {
        m_msg.error(TypeQueries::EntradaEmBranco);
        return false;
    }
    if (!required(edited))
        return false;
    if (!SendableText::check(m_msg,
                             {{QStringLiteral("Marca"), edited.marcaProd},
                              {QStringLiteral("Modelo"), edited.modeloProd},
                              {QStringLiteral("Número do Lote"), edited.numLote},
                              {QStringLiteral("Número de Série"), edited.numSerieProd},
                              {QStringLiteral("Quantidade"), edited.quantLote},
                              {QStringLiteral("Proforma/Invoice"), edited.numProfInvoice},
                              {QStringLiteral("Observações"), edited.observacoes},
                              {QStringLiteral("Local de Instalação"), edited.localInstalacao},
                              {QStringLiteral("Bairro"), edited.endBairro},
                              {QStringLiteral("Cidade"), edited.endCidade},
                              {QStringLiteral("CEP"), edited.endCep}}))
        return false;
    if (m_kind == ItemKind::Lote) {
        // The boxes are checked as they are left; a click can reach "Aplicar"
        // first, and a date later than today is never stored.
        const QString made = MaintenanceDates::boxText(edited.dataFabrLote);
        QString problem = fabricationProblem(made, QDate::currentDate());
        if (problem.isEmpty() && edited.dataValLote.isValid())
            problem = validityProblem(MaintenanceDates::boxText(edited.dataValLote), made);
        if (!problem.isEmpty()) {
            m_msg.error(problem, MaintenanceDates::EntryCaption);
            return false;
        }
    }
    if (duplicate(old, edited) || classChangeStrandsDocuments(old, edited))
        return false;
    if (m_kind == ItemKind::Tipo) {
        const QString problem = TypeQueries::entryDateProblem(entryDate, certificate.issue, QDate::currentDate());
        if (!problem.isEmpty()) {
            m_msg.error(problem);
            return false;
        }
    } else if (!MaintenanceDates::checkEntryDate(m_msg, entryDate.trimmed(), certificate.issue)) {
        return false;
    }
    edited.entryDate = MaintenanceDates::atMidnight(MaintenanceDates::parse(entryDate.trimmed()));
    return true;
}

void ItemService::finish(const CertificateKey &certificate)
{
    CertificateStore::storeCompleteness(m_db, certificate);
    m_db.execute(QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0 WHERE SiglaCertificador = ? AND NumCertif = ?"),
                 {certificate.sigla, certificate.numero});
}

void ItemService::fail(const std::exception &e)
{
    if (dynamic_cast<const StatusEvents::SeqEventoEsgotado *>(&e)) {
        m_msg.error(StatusEvents::failureText(e, {}), CertificateTexts::WriteCaption);
        return;
    }
    if (m_kind == ItemKind::Tipo) {
        m_msg.error(TypeQueries::ErroSalvar, CertificateTexts::WriteCaption);
        return;
    }
    const auto *db = dynamic_cast<const DbError *>(&e);
    if (db && db->isKeyViolation()) {
        const QString text = m_kind == ItemKind::Unidade ? ItemTexts::SerialViolation
            : m_kind == ItemKind::Servico                ? ItemTexts::ServiceViolation
                                                         : ItemTexts::ProductExists;
        m_msg.error(text, ItemTexts::DuplicateCaption);
        return;
    }
    m_msg.error(DbErrors::writeFailure(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
}

ItemService::Result ItemService::apply(const Certificate &certificate, const std::optional<CertificateItem> &old,
                                       CertificateItem edited, const std::optional<QString> &justification)
{
    const ItemKindInfo &info = CertificateItems::info(m_kind);
    const QDateTime now = QDateTime::currentDateTime();
    Transaction t(m_db);
    try {
        edited.siglaCertificador = certificate.key.sigla;
        edited.numCertif = certificate.key.numero;
        edited.dthUltAtualiz = now;
        edited.usuResp = m_user;
        if (!old || !certificate.approvedBefore)
            edited.statusDate = edited.entryDate;
        if (!old) {
            edited.status = QStringLiteral("A");
            ItemStore::insert(m_db, m_kind, edited);
        } else {
            if (classChangeStrandsDocuments(old, edited))
                return Result::Refused;
            edited.status = old->status;
            ItemStore::update(m_db, m_kind, *old, edited);
            if (CertificateItems::keyDiffers(m_kind, *old, edited)) {
                StatusEvents::rekey(m_db, info.events, CertificateItems::itemKey(m_kind, *old),
                                    CertificateItems::itemKey(m_kind, edited));
                RegulatorHolding::rekeyImported(m_db, info.events, CertificateItems::itemKey(m_kind, *old),
                                                CertificateItems::itemKey(m_kind, edited));
                // Its normative documents stay attached to it.
                ItemStore::moveDocuments(m_db, m_kind, *old, edited);
            }
        }
        if (!old || certificate.approvedBefore) {
            StatusEvents::Event e;
            e.key = CertificateItems::itemKey(m_kind, edited);
            e.evento = old ? QStringLiteral("ALT") : QStringLiteral("INC");
            e.justificativa = certificate.approvedBefore ? justification.value_or(QString())
                                                         : StatusEvents::JustificativaSistema;
            e.status = edited.status;
            e.statusDate = old ? now : edited.entryDate;
            e.writtenAt = now;
            e.user = m_user;
            StatusEvents::insert(m_db, info.events, e);
        }
        finish(certificate.key);
        t.commit();
    } catch (const std::exception &e) {
        t.rollback();
        fail(e);
        return Result::Failed;
    }
    return Result::Saved;
}

bool ItemService::removalAllowed(const CertificateItem &item)
{
    if (!RegulatorHolding::item(m_db, CertificateItems::info(m_kind).events, CertificateItems::itemKey(m_kind, item)))
        return true;
    m_msg.error(ItemTexts::Approved, ItemTexts::DeleteCaption);
    return false;
}

QString ItemService::removalQuestion() const
{
    return m_kind == ItemKind::Servico ? ItemTexts::ConfirmService : ItemTexts::ConfirmProduct;
}

ItemService::Result ItemService::remove(const Certificate &certificate, const CertificateItem &item)
{
    // The item and its history go together or not at all.
    Transaction t(m_db);
    try {
        // Held since the question was asked: nothing goes.
        if (!removalAllowed(item)) {
            t.rollback();
            return Result::Refused;
        }
        StatusEvents::removeItem(m_db, CertificateItems::info(m_kind).events, CertificateItems::itemKey(m_kind, item));
        // Documents attached to an item that is gone would reach the
        // regulator pointing at nothing.
        ItemStore::removeDocuments(m_db, m_kind, item);
        ItemStore::remove(m_db, m_kind, item);
        finish(certificate.key);
        t.commit();
    } catch (const std::exception &e) {
        t.rollback();
        if (m_kind == ItemKind::Tipo)
            m_msg.error(TypeQueries::ErroExcluir);
        else
            m_msg.error(DbErrors::writeFailure(e, CertificateTexts::WriteError), CertificateTexts::WriteCaption);
        return Result::Failed;
    }
    return Result::Saved;
}

ItemService::Result ItemService::changeStatus(const Certificate &certificate, const CertificateItem &item,
                                              const QString &letter, const QString &justification,
                                              const QDate &statusDate)
{
    try {
        DbRetry::run(m_db, [&] {
            const QString evento = CertificateService::statusEvent(letter);
            if (evento.isEmpty())
                throw AppError(QStringLiteral("Status inválido: %1").arg(letter));
            const QDateTime when = MaintenanceDates::atMidnight(statusDate);
            if (ItemStore::setStatus(m_db, m_kind, item, letter, when, m_user) != 1)
                throw AppError(QStringLiteral("O item não existe mais."));
            StatusEvents::Event e;
            e.key = CertificateItems::itemKey(m_kind, item);
            e.evento = evento;
            e.justificativa = justification;
            e.status = letter;
            e.statusDate = when;
            e.user = m_user;
            StatusEvents::insert(m_db, CertificateItems::info(m_kind).events, e);
            m_db.execute(
                QStringLiteral("UPDATE CERTIFIC SET Aprovado = 0 WHERE SiglaCertificador = ? AND NumCertif = ?"),
                {certificate.key.sigla, certificate.key.numero});
        });
    } catch (const std::exception &e) {
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::StatusWriteError), CertificateTexts::WriteCaption);
        return Result::Failed;
    }
    return Result::Saved;
}
