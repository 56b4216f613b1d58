#include "maintenance/certificates/certificateservice.h"
#include "register/sendabletext.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/retry.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/existencecheck.h"
#include "maintenance/maintenancedates.h"
#include "register/regulatorholding.h"
#include "register/statusevents.h"

namespace {

QVariant textOrNull(const QString &s)
{
    return s.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s);
}
QVariant momentOrNull(const QDateTime &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType(QMetaType::QDateTime));
}

bool exists(const Database &db, const QString &sigla, const QString &numero)
{
    ExistenceCheck::Key k;
    k.siglaCertificador = sigla;
    k.numCertif = numero;
    return ExistenceCheck::exists(db, QStringLiteral("CERTIFICADO"), k);
}

}

CertificateService::CertificateService(Database &db, Messenger &messenger, const QString &userCode)
    : m_db(db),
      m_msg(messenger),
      m_user(userCode)
{ }

std::optional<QString> CertificateService::newCertificateCertifier()
{
    if (CertificateStore::configRowCount(m_db) != 1) {
        m_msg.plain(CertificateTexts::ConfigTampered, CertificateTexts::SystemError);
        return std::nullopt;
    }
    return m_db.scalar(QStringLiteral("SELECT SiglaCertificador FROM CONFIG_LOCAL")).toString();
}

// The boxes refuse bad dates as they are left, but a click can reach the
// save before that: a date later than today is never stored.
bool CertificateService::datesAcceptable(const Certificate &row, bool modifyPanel)
{
    using namespace MaintenanceDates;
    const QString issue = boxText(row.dataEmissao);
    QString problem = row.dataEmissao.isValid() ? issueProblem(issue, QDate::currentDate()) : IssueMessage;
    if (problem.isEmpty())
        problem = validityProblem(boxText(row.dataValid), issue, modifyPanel ? Panel::Modify : Panel::NewCertificate);
    if (problem.isEmpty())
        return true;
    m_msg.error(problem, EntryCaption);
    return false;
}

namespace {

void writeEvent(Database &db, const CertificateKey &key, const QString &evento, const QString &justification,
                const QString &status, const QDateTime &statusDate, const QString &user)
{
    StatusEvents::Event e;
    e.key = StatusEvents::certificateKey(key.sigla, key.numero);
    e.evento = evento;
    e.justificativa = justification;
    e.status = status;
    e.statusDate = statusDate;
    e.user = user;
    StatusEvents::insert(db, StatusEvents::Table::Status_C, e);
}

}

bool CertificateService::textsSendable(const Certificate &row)
{
    return SendableText::check(m_msg,
                               {{QStringLiteral("Número do Certificado"), row.numCertif},
                                {QStringLiteral("Classe do Certificado"), row.idClasseCertif},
                                {QStringLiteral("Laboratório de Ensaio"), row.labEnsaio},
                                {QStringLiteral("Número do Relatório de Ensaio"), row.numRelEnsaio},
                                {QStringLiteral("Signatários"), row.signatarios},
                                {QStringLiteral("Observações"), row.observacoes}});
}

void CertificateService::fail(const std::exception &e, const QString &generic)
{
    const auto *db = dynamic_cast<const DbError *>(&e);
    if (db && db->isKeyViolation())
        m_msg.error(CertificateTexts::KeyViolation, CertificateTexts::DuplicateCaption);
    else
        m_msg.error(StatusEvents::failureText(e, generic), CertificateTexts::WriteCaption);
}

CertificateService::Result CertificateService::saveNew(const Certificate &draft)
{
    if (draft.siglaCertificador.isEmpty() || draft.numCertif.isEmpty()) {
        m_msg.error(CertificateTexts::KeyRequired, CertificateTexts::InclusionError);
        return Result::Refused;
    }
    if (exists(m_db, draft.siglaCertificador, draft.numCertif)) {
        m_msg.error(CertificateTexts::Exists, CertificateTexts::DuplicateCaption);
        return Result::Refused;
    }
    if (!draft.dataValid.isValid()) {
        m_msg.error(CertificateTexts::ValidityRequired, MaintenanceDates::EntryCaption);
        return Result::NeedsValidity;
    }
    if (!datesAcceptable(draft, false) || !textsSendable(draft))
        return Result::Refused;

    Transaction t(m_db);
    try {
        const QDateTime now = QDateTime::currentDateTime();
        m_db.execute(
            QStringLiteral(
                "INSERT INTO CERTIFIC (SiglaCertificador, NumCertif, StatusCertificado, DthStatusCertificado, "
                "IdClasseProd, "
                "IdClasseCertif, DataEmissao, DataValid, LabEnsaio, NumRelEnsaio, Signatarios, Observacoes, Completo, "
                "Aprovado, DthUltAtualiz, UsuResp) VALUES (?, ?, 'A', ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?)"),
            {draft.siglaCertificador, draft.numCertif, draft.dataEmissao, draft.idClasseProd,
             textOrNull(draft.idClasseCertif), draft.dataEmissao, draft.dataValid, textOrNull(draft.labEnsaio),
             textOrNull(draft.numRelEnsaio), textOrNull(draft.signatarios), textOrNull(draft.observacoes), now,
             m_user});
        // A certificate is never kept without its first event.
        writeEvent(m_db, draft.key(), QStringLiteral("INC"), StatusEvents::JustificativaSistema, QStringLiteral("A"),
                   draft.dataEmissao, m_user);
        t.commit();
    } catch (const std::exception &e) {
        t.rollback();
        fail(e, CertificateTexts::WriteError);
        return Result::Failed;
    }
    return Result::Saved;
}

bool CertificateService::numberLocked(const CertificateKey &key, bool held)
{
    return held || CertificateStore::hasItems(m_db, key);
}

std::optional<CertificateService::Opened> CertificateService::open(const CertificateKey &key)
{
    const auto row = CertificateStore::load(m_db, key);
    if (!row)
        return std::nullopt;
    Opened o;
    o.row = *row;
    o.held = RegulatorHolding::certificate(m_db, row->key());
    o.numberLocked = numberLocked(row->key(), o.held);
    o.classesLocked = ExistenceCheck::certificateHasDocuments(m_db, row->siglaCertificador, row->numCertif);
    return o;
}

CertificateService::Result CertificateService::checkGeneral(const CertificateKey &open, const Certificate &edited)
{
    if (edited.siglaCertificador.isEmpty() || edited.numCertif.isEmpty()) {
        m_msg.error(CertificateTexts::KeyRequired, CertificateTexts::InclusionError);
        return Result::Refused;
    }
    // A change of letter case alone finds the certificate itself.
    if (edited.numCertif != open.numero && !edited.key().sameAs(open) &&
        exists(m_db, edited.siglaCertificador, edited.numCertif)) {
        m_msg.error(CertificateTexts::Exists, CertificateTexts::DuplicateCaption);
        return Result::Refused;
    }
    if (!edited.dataValid.isValid()) {
        m_msg.error(CertificateTexts::ValidityRequired, MaintenanceDates::EntryCaption);
        return Result::NeedsValidity;
    }
    if (!datesAcceptable(edited, true) || !textsSendable(edited))
        return Result::Refused;
    return Result::Saved;
}

CertificateService::Result CertificateService::saveGeneral(const CertificateKey &open, const Certificate &edited,
                                                           const std::optional<QString> &altJustification)
{
    const Result checked = checkGeneral(open, edited);
    if (checked != Result::Saved)
        return checked;
    if (altJustification && !SendableText::check(m_msg, {{QStringLiteral("Justificativa"), *altJustification}}))
        return Result::Refused;
    Transaction t(m_db);
    try {
        const auto stored = CertificateStore::load(m_db, open);
        if (!stored)
            throw AppError(QStringLiteral("O certificado %1 não existe mais.").arg(open.numero));
        const bool keyChanged = edited.numCertif != stored->numCertif;
        if ((keyChanged || edited.dataEmissao != stored->dataEmissao) &&
            numberLocked(stored->key(), RegulatorHolding::certificate(m_db, stored->key())))
            throw AppError(
                QStringLiteral("O número e a data de emissão deste certificado não podem mais ser alterados."));

        const QDateTime now = QDateTime::currentDateTime();
        m_db.execute(
            QStringLiteral(
                "UPDATE CERTIFIC SET NumCertif = ?, IdClasseCertif = ?, IdClasseProd = ?, DataEmissao = ?, DataValid = "
                "?, "
                "LabEnsaio = ?, NumRelEnsaio = ?, Signatarios = ?, Observacoes = ?, Aprovado = 0, DthUltAtualiz = ?, "
                "UsuResp = ? WHERE SiglaCertificador = ? AND NumCertif = ?"),
            {edited.numCertif, textOrNull(edited.idClasseCertif), edited.idClasseProd, momentOrNull(edited.dataEmissao),
             momentOrNull(edited.dataValid), textOrNull(edited.labEnsaio), textOrNull(edited.numRelEnsaio),
             textOrNull(edited.signatarios), textOrNull(edited.observacoes), now, m_user, stored->siglaCertificador,
             stored->numCertif});
        const CertificateKey newKey{stored->siglaCertificador, edited.numCertif};
        if (keyChanged) {
            // Only the certificate's own rows can exist while the number is
            // open to change; its history and documents follow it.
            for (const char *table : {"DOC_NORM_CERT_PRODUTO", "DOC_NORM_CERT_SERVICO", "STATUS_DNCP", "STATUS_DNCS"})
                m_db.execute(QStringLiteral("UPDATE %1 SET NumCertif = ? WHERE SiglaCertificador = ? AND NumCertif = ?")
                                 .arg(QLatin1String(table)),
                             {newKey.numero, stored->siglaCertificador, stored->numCertif});
            const auto from = StatusEvents::certificateKey(stored->siglaCertificador, stored->numCertif);
            const auto to = StatusEvents::certificateKey(newKey.sigla, newKey.numero);
            StatusEvents::rekey(m_db, StatusEvents::Table::Status_C, from, to);
        }
        CertificateStore::storeCompleteness(m_db, newKey);
        if (altJustification)
            writeEvent(m_db, newKey, QStringLiteral("ALT"), *altJustification, stored->statusCertificado, now, m_user);
        t.commit();
    } catch (const std::exception &e) {
        t.rollback();
        fail(e, CertificateTexts::WriteError);
        return Result::Failed;
    }
    return Result::Saved;
}

QString CertificateService::statusEvent(const QString &letter)
{
    if (letter == QLatin1String("S"))
        return QStringLiteral("SUS");
    if (letter == QLatin1String("A"))
        return QStringLiteral("REA");
    if (letter == QLatin1String("C"))
        return QStringLiteral("CAN");
    return {};
}

bool CertificateService::changeStatus(const CertificateKey &key, const QString &letter, const QString &justification,
                                      const QDate &statusDate)
{
    if (!SendableText::check(m_msg, {{QStringLiteral("Justificativa"), justification}}))
        return false;
    try {
        DbRetry::run(m_db, [&] {
            const QString evento = statusEvent(letter);
            if (evento.isEmpty())
                throw AppError(QStringLiteral("Status inválido: %1").arg(letter));
            const QDateTime when = MaintenanceDates::atMidnight(statusDate);
            const int rows = m_db.execute(
                QStringLiteral("UPDATE CERTIFIC SET StatusCertificado = ?, DthStatusCertificado = ?, Aprovado = 0, "
                               "DthUltAtualiz = ?, UsuResp = ? WHERE SiglaCertificador = ? AND NumCertif = ?"),
                {letter, when, QDateTime::currentDateTime(), m_user, key.sigla, key.numero});
            if (rows != 1)
                throw AppError(QStringLiteral("O certificado %1 não existe mais.").arg(key.numero));
            writeEvent(m_db, key, evento, justification, letter, when, m_user);
        });
    } catch (const std::exception &e) {
        m_msg.error(StatusEvents::failureText(e, CertificateTexts::StatusWriteError), CertificateTexts::WriteCaption);
        return false;
    }
    return true;
}
