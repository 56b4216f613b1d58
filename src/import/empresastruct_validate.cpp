#include "import/descriptors.h"
#include "import/documentchecks.h"

namespace {

bool digitsOnly(const QString &text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
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
                if (!DocumentChecks::cpfValid(trimmed))
                    fail(QStringLiteral("O valor ") + trimmed + QStringLiteral(" não é um CPF válido ") +
                         lineSuffix(item->lineNumber));
                else if (!DocumentChecks::cpfValid(idEmpresa))
                    fail(QStringLiteral("O valor ") + idEmpresa +
                         QStringLiteral(" não é um CPF válido para o campo IDEMPRESA ") + lineSuffix(idLine));
            } else if (personType == QLatin1String("1") && brazil) {
                if (DocumentChecks::cnpjValid(cgc)) {
                    if (!digitsOnly(cgc))
                        fail(QStringLiteral("O valor ") + cgc +
                             QStringLiteral(" não pode conter nenhum tipo de formatação ") + lineSuffix(cgcLine));
                    if (!DocumentChecks::cnpjValid(idEmpresa))
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
