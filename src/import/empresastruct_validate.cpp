#include "base/taxid.h"
#include "import/descriptors.h"

namespace {

bool digitsOnly(const QString &text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Exactly the 11 digits: anything else is simply not a CPF (the shared check
// would raise a conversion error on a non-digit, or ignore extra characters).
bool cpfValid(const QString &text)
{
    return text.size() == 11 && digitsOnly(text) && TaxId::cpfCheckImport(text);
}

bool cnpjValid(const QString &text)
{
    return TaxId::cnpjCheck(text, nullptr);
}

}

// The company identifier must match the kind of company: CPF digits for a
// natural person, unformatted CNPJ digits for a Brazilian legal entity, the
// legal name for a foreign one.
void TEmpresaStruct::Validate()
{
    TDataStruct::Validate();

    QString country;
    QString cgc;
    int cgcLine = 0;
    QString personType;
    QString idEmpresa;
    int idLine = 0;
    QString razaoSocial;

    for (const TDataStructItem *item : items()) {
        const QString upperName = item->name.toUpper();
        const QString trimmed = item->trimmedValue();
        if (upperName == QLatin1String("CODIGOPAIS")) {
            country = trimmed;
        } else if (upperName == QLatin1String("CGC")) {
            cgc = trimmed;
            cgcLine = item->lineNumber;
        } else if (upperName == QLatin1String("TIPOPESSOA")) {
            if (trimmed == QLatin1String("1") || trimmed == QLatin1String("2"))
                personType = trimmed;
            else if (!trimmed.isEmpty()) // an empty one is already reported as missing
                fail(QStringLiteral("O valor ") + item->value + QStringLiteral(" não é um TIPOPESSOA válido ") +
                     lineSuffix(item->lineNumber));
        } else if (upperName == QLatin1String("IDEMPRESA")) {
            idEmpresa = trimmed;
            idLine = item->lineNumber;
        } else if (upperName == QLatin1String("RAZSOCIALEMP")) {
            razaoSocial = trimmed;
        } else if (upperName == QLatin1String("CPF")) {
            const bool brazil = country.compare(QLatin1String("BR"), Qt::CaseInsensitive) == 0;
            if (personType == QLatin1String("2")) {
                if (!cpfValid(trimmed))
                    fail(QStringLiteral("O valor ") + trimmed + QStringLiteral(" não é um CPF válido ") +
                         lineSuffix(item->lineNumber));
                else if (!cpfValid(idEmpresa))
                    fail(QStringLiteral("O valor ") + idEmpresa +
                         QStringLiteral(" não é um CPF válido para o campo IDEMPRESA ") + lineSuffix(idLine));
            } else if (personType == QLatin1String("1") && brazil) {
                if (cnpjValid(cgc)) {
                    if (!digitsOnly(cgc))
                        fail(QStringLiteral("O valor ") + cgc +
                             QStringLiteral(" não pode conter nenhum tipo de formatação ") + lineSuffix(cgcLine));
                    if (!cnpjValid(idEmpresa))
                        fail(QStringLiteral("O valor ") + idEmpresa +
                             QStringLiteral(" não é um CGC válido para o campo IDEMPRESA ") + lineSuffix(idLine));
                    else if (!digitsOnly(idEmpresa))
                        fail(QStringLiteral("O valor ") + idEmpresa +
                             QStringLiteral(" não pode conter nenhum tipo de formatação ") + lineSuffix(idLine));
                } else {
                    fail(QStringLiteral("O valor ") + cgc + QStringLiteral(" não é um CGC válido ") +
                         lineSuffix(cgcLine));
                }
            } else if (!brazil && idEmpresa != razaoSocial) {
                fail(QStringLiteral("O valor ") + idEmpresa +
                     QStringLiteral(" não pode ser diferente da RAZÃO SOCIAL para empresas estrangeiras ") +
                     lineSuffix(idLine));
            }
        }
    }
}
