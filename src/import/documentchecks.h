#pragma once
#include <QString>

// Check digits of Brazilian company (CNPJ) and person (CPF) numbers, as the
// import applies them: yes or no, no messages.
namespace DocumentChecks {

// "00.000.000/0000-00" is refused; separators are ignored; 14 digits.
bool cnpjValid(const QString &text);
// Exactly 11 digits, no separators; "00000000000" passes.
bool cpfValid(const QString &text);

}
