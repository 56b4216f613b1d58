#pragma once
#include <QString>

class Messenger;

// Brazilian company (CNPJ) and person (CPF) numbers: display forms and
// check-digit validation.
namespace TaxId {

// Digits only; with the mask, 14 digits laid out as 99.999.999/9999-99.
// A number of any other length is returned as its bare digits.
QString cnpjMask(const QString &text, bool withMask);
// First nine characters, "-", the rest; texts of up to nine characters as given.
QString cpfDisplay(const QString &text);

// Validates a CNPJ typed with or without its separators. With a messenger
// the reason is shown (caption "Erro de validação do CNPJ"); nullptr checks
// silently.
bool cnpjCheck(const QString &text, Messenger *messenger);

// A CPF as its 11 digits without separators. Raises AppError when one of the
// first nine characters is not a digit (it cannot be a CPF at all).
// Interactive: refuses empty and "00000000000".
bool cpfCheck(const QString &text);
// Import: refuses empty and blank texts; "00000000000" passes.
bool cpfCheckImport(const QString &text);

}
