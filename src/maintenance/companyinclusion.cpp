#include "maintenance/companyinclusion.h"

#include "db/database.h"
#include "db/dberror.h"
#include "shell/shared/messenger.h"
#include "shell/shared/taxid.h"
#include "shell/shared/textutil.h"

#include <QDateTime>

namespace CompanyInclusion {

namespace {

const QString SaveCaption = QStringLiteral("Erro de gravação");

QString digitsOf(const QString &text)
{
    QString out;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out.append(c);
    return out;
}

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
        if (cpf.size() != 11 || !TaxId::cpfCheck(cpf))
            return refuse(m, QStringLiteral("CPF inválido !!!"), Field::TaxId, out);
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

bool isBrazil(const QString &countryName)
{
    return countryName.trimmed().compare(Brasil, Qt::CaseInsensitive) == 0;
}

std::optional<CompanyKey> save(Database &db, Messenger &m, const NewCompany &c, const QString &userCode,
                               Field *refusedField)
{
    if (refusedField)
        *refusedField = Field::None;
    if (!valid(m, c, refusedField))
        return std::nullopt;

    const bool brazil = isBrazil(c.nomePais);
    const QString taxDigits = digitsOf(c.taxId);
    CompanyKey key{c.codigoPais, {}};
    QVariant cgc, cpf, legalName, tradeName, personName;
    if (c.naturalPerson) {
        key.idEmpresa = taxDigits;
        cpf = taxDigits;
        personName = orNull(c.name);
    } else {
        key.idEmpresa = brazil ? taxDigits : TextUtil::trimBlanks(c.name);
        cgc = orNull(taxDigits);
        legalName = orNull(c.name);
        tradeName = orNull(c.nomFantasia);
    }
    const QVariant none(QMetaType(QMetaType::QString));
    auto nullIfEmpty = [&none](const QVariant &v) { return v.isValid() ? v : none; };

    try {
        Transaction tx(db);
        db.execute(QStringLiteral("insert into EMPRESA (CodigoPais, IdEmpresa, CGC, RazSocialEmp, NomFantasia, EndLogr, "
                                  "EndNum, EndCompl, EndCEP, EndBairro, EndCidade, SiglaUF, Telefone, Fax, Email, "
                                  "TipoPessoa, CPF, NomPessoaFisica, DthUltAtualiz, UsuResp) "
                                  "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {key.codigoPais, key.idEmpresa, nullIfEmpty(cgc), nullIfEmpty(legalName), nullIfEmpty(tradeName),
                    orNull(c.endLogr), orNull(c.endNum), orNull(c.endCompl), orNull(c.endCep), orNull(c.endBairro),
                    orNull(c.endCidade), orNull(c.siglaUf), orNull(c.telefone), orNull(c.fax), orNull(c.email),
                    c.naturalPerson ? QStringLiteral("2") : QStringLiteral("1"), nullIfEmpty(cpf),
                    nullIfEmpty(personName), QDateTime::currentDateTime(), userCode});
        tx.commit();
    } catch (const DbError &e) {
        if (e.isKeyViolation())
            m.error(QStringLiteral("Esta empresa já existe !!! Cancele a inclusão..."),
                    QStringLiteral("Erro de chave duplicada"));
        else
            m.error(QStringLiteral("Erro genérico de gravação no Banco de Dados !!! As alterações não foram "
                                   "efetuadas."),
                    SaveCaption);
        return std::nullopt;
    }
    return key;
}

}
