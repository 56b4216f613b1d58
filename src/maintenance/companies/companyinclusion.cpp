#include "maintenance/companies/companyinclusion.h"
#include "register/sendabletext.h"

#include "base/messenger.h"
#include "base/taxid.h"
#include "base/textutil.h"
#include "db/database.h"
#include "db/dberror.h"

#include <QDateTime>

namespace CompanyInclusion {

namespace {

const QString SaveCaption = QStringLiteral("Erro de gravação");

QVariant orNull(const QString &text)
{
    const QString t = TextUtil::trimBlanks(text);
    return t.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(t);
}

bool refuse(Messenger &m, const QString &text, Field field, Field *out)
{
    m.error(text, SaveCaption);
    if (out)
        *out = field;
    return false;
}

bool valid(Messenger &m, const NewCompany &c, Field *out)
{
    const QString taxId = TextUtil::trimBlanks(c.taxId);
    const QString name = TextUtil::trimBlanks(c.name);
    if (c.codigoPais.isEmpty())
        return refuse(m, QStringLiteral("O campo de País é de preenchimento obrigatório."), Field::Country, out);
    if (c.naturalPerson) {
        if (taxId.isEmpty())
            return refuse(m, QStringLiteral("O campo CPF é de preenchimento obrigatório."), Field::TaxId, out);
        if (name.isEmpty())
            return refuse(m, QStringLiteral("O campo Nome Pessoa Física é de preenchimento obrigatório."), Field::Name,
                          out);
        const QString cpf = digitsOf(taxId);
        if (cpf.size() != 11 || !TaxId::cpfCheck(cpf)) {
            // A plain box without a caption of its own: it is not a write error.
            m.plain(QStringLiteral("CPF inválido !!!"));
            if (out)
                *out = Field::TaxId;
            return false;
        }
        return true;
    }
    if (!isBrazil(c.nomePais)) {
        if (name.isEmpty())
            return refuse(m,
                          QStringLiteral("O campo de Razão Social é de preenchimento obrigatório para empresas "
                                         "estrangeiras."),
                          Field::Name, out);
        return true;
    }
    if (taxId.isEmpty())
        return refuse(m, QStringLiteral("O campo de CNPJ é de preenchimento obrigatório para empresas brasileiras."),
                      Field::TaxId, out);
    const QString cep = TextUtil::trimBlanks(c.endCep);
    if (cep.isEmpty())
        return refuse(m, QStringLiteral("O campo de CEP é de preenchimento obrigatório para empresas brasileiras."),
                      Field::Cep, out);
    if (digitsOf(cep) == QLatin1String("00000000"))
        return refuse(m, QStringLiteral("CEP inválido !!!"), Field::Cep, out);
    if (!TaxId::cnpjCheck(taxId, &m)) {
        if (out)
            *out = Field::TaxId;
        return false;
    }
    return true;
}

}

QString digitsOf(const QString &text)
{
    QString out;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out.append(c);
    return out;
}

bool check(Messenger &messenger, const NewCompany &company, Field *refusedField)
{
    if (refusedField)
        *refusedField = Field::None;
    if (!valid(messenger, company, refusedField))
        return false;
    if (!SendableText::check(
            messenger,
            {{company.naturalPerson ? QStringLiteral("Nome") : QStringLiteral("Razão Social"), company.name}})) {
        if (refusedField)
            *refusedField = Field::Name;
        return false;
    }
    return SendableText::check(messenger,
                               {{QStringLiteral("Nome Fantasia"), company.nomFantasia},
                                {QStringLiteral("Logradouro"), company.endLogr},
                                {QStringLiteral("Número"), company.endNum},
                                {QStringLiteral("Complemento"), company.endCompl},
                                {QStringLiteral("CEP"), company.endCep},
                                {QStringLiteral("Bairro"), company.endBairro},
                                {QStringLiteral("Cidade"), company.endCidade},
                                {QStringLiteral("Telefone"), company.telefone},
                                {QStringLiteral("Fax"), company.fax},
                                {QStringLiteral("E-mail"), company.email}});
}

CompanyKey keyOf(const NewCompany &c)
{
    if (c.naturalPerson)
        return {c.codigoPais, digitsOf(c.taxId)};
    return {c.codigoPais, isBrazil(c.nomePais) ? digitsOf(c.taxId) : TextUtil::trimBlanks(c.name)};
}

const QStringList &columns()
{
    static const QStringList all{
        QStringLiteral("CodigoPais"),   QStringLiteral("IdEmpresa"),   QStringLiteral("CGC"),
        QStringLiteral("RazSocialEmp"), QStringLiteral("NomFantasia"), QStringLiteral("EndLogr"),
        QStringLiteral("EndNum"),       QStringLiteral("EndCompl"),    QStringLiteral("EndCEP"),
        QStringLiteral("EndBairro"),    QStringLiteral("EndCidade"),   QStringLiteral("SiglaUF"),
        QStringLiteral("Telefone"),     QStringLiteral("Fax"),         QStringLiteral("Email"),
        QStringLiteral("TipoPessoa"),   QStringLiteral("CPF"),         QStringLiteral("NomPessoaFisica")};
    return all;
}

QVariantList columnValues(const NewCompany &c)
{
    const QVariant none(QMetaType(QMetaType::QString));
    const CompanyKey key = keyOf(c);
    const QString taxDigits = digitsOf(c.taxId);
    const bool person = c.naturalPerson;
    return {key.codigoPais,
            key.idEmpresa,
            person ? none : orNull(taxDigits),
            person ? none : orNull(c.name),
            person ? none : orNull(c.nomFantasia),
            orNull(c.endLogr),
            orNull(c.endNum),
            orNull(c.endCompl),
            orNull(c.endCep),
            orNull(c.endBairro),
            orNull(c.endCidade),
            orNull(c.siglaUf),
            orNull(c.telefone),
            orNull(c.fax),
            orNull(c.email),
            person ? QStringLiteral("2") : QStringLiteral("1"),
            person ? orNull(taxDigits) : none,
            person ? orNull(c.name) : none};
}

bool isBrazil(const QString &countryName)
{
    return countryName.trimmed().compare(Brasil, Qt::CaseInsensitive) == 0;
}

std::optional<CompanyKey> save(Database &db, Messenger &m, const NewCompany &c, const QString &userCode,
                               Field *refusedField)
{
    if (!check(m, c, refusedField))
        return std::nullopt;

    const CompanyKey key = keyOf(c);
    try {
        Transaction tx(db);
        db.execute(QStringLiteral("insert into EMPRESA (%1, DthUltAtualiz, UsuResp) values (%2?, ?)")
                       .arg(columns().join(QStringLiteral(", ")), QStringLiteral("?, ").repeated(columns().size())),
                   columnValues(c) + QVariantList{QDateTime::currentDateTime(), userCode});
        tx.commit();
    } catch (const DbError &e) {
        if (e.isKeyViolation())
            m.error(QStringLiteral("Esta empresa já existe !!! Cancele a inclusão..."),
                    QStringLiteral("Erro de chave duplicada"));
        else
            m.error(DbErrors::writeFailure(e,
                                           QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As "
                                                          "alterações não foram efetuadas.")),
                    SaveCaption);
        return std::nullopt;
    }
    return key;
}

}
