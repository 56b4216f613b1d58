#include "base/cp1252.h"
#include "import/datastruct.h"
#include "import/importdates.h"

#include "db/schema.h"

#include <typeindex>
#include <unordered_map>

namespace {

bool isFloat(const QString &text)
{
    bool ok = false;
    QString t = text;
    if (!t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    t.toDouble(&ok);
    return ok;
}

// smallInt: the column holds 16 bits; a wider value would be stored as
// given and read back by others as something else.
bool isInteger(const QString &text, bool smallInt)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && (!smallInt || (v >= -32768 && v <= 32767));
}

// The first control character of a text (C0, DEL, C1), or 0 when none.
ushort controlCharacter(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            return u ? u : ushort(0xffff);
    }
    return 0;
}

// Whole-word membership: a value must be one of the codes, not a piece of the
// list ("C A" is not an event just because "INC ALT" contains it).
bool isOneOf(const QString &value, const QStringList &codes)
{
    return codes.contains(value);
}

const int MaxProductText = 105;

}

const TDataStruct::ClassTraits &TDataStruct::traits() const
{
    thread_local std::unordered_map<std::type_index, ClassTraits> byClass;
    auto it = byClass.find(std::type_index(typeid(*this)));
    if (it != byClass.end() && it->second.items.size() == m_items.size())
        return it->second;
    ClassTraits traits;
    const Schema::Table *table = Schema::table(m_tableName);
    for (const TDataStructItem *item : m_items) {
        ItemTraits t;
        t.upperName = item->name.toUpper();
        const Schema::Field *field = table && item->type == TFieldType::Text ? table->field(item->name) : nullptr;
        if (field && field->type == Schema::FieldType::Text && field->size > 0)
            t.columnWidth = field->size;
        const Schema::Field *column = table ? table->field(item->name) : nullptr;
        t.smallInt = item->type == TFieldType::SmallInt ||
            (column && column->type == Schema::FieldType::SmallInt && (item->type == TFieldType::Integer));
        traits.items << t;
    }
    traits.numcertif = indexOf(itemByName(QStringLiteral("Numcertif")));
    traits.sigla = indexOf(itemByName(QStringLiteral("SiglaCertificador")));
    traits.issueDate = indexOf(itemByName(QStringLiteral("DataEmissao")));
    traits.noIssueDate = m_tableName.compare(QLatin1String("EMPRESA"), Qt::CaseInsensitive) == 0 ||
        m_tableName.compare(QLatin1String("PRODUTO"), Qt::CaseInsensitive) == 0;
    traits.certific = m_tableName.compare(QLatin1String("CERTIFIC"), Qt::CaseInsensitive) == 0;
    traits.pairing = m_tableName.compare(QLatin1String("CTR_HISTORICO"), Qt::CaseInsensitive) == 0;
    return byClass[std::type_index(typeid(*this))] = traits;
}

void TDataStruct::Validate()
{
    m_valid = true;
    m_issueDate = QDateTime();
    const QList<ItemTraits> &items = traits().items;
    for (int i = 0; i < m_items.size(); ++i)
        validateItem(m_items.at(i), items.at(i));
}

void TDataStruct::validateItem(TDataStructItem *item, const ItemTraits &traits)
{
    const QString trimmed = item->trimmedValue();
    const QString &value = item->value;
    const int line = item->lineNumber;
    const QString &upperName = traits.upperName;

    if (item->required && trimmed.isEmpty()) {
        fail(QStringLiteral("O campo obrigatório ") + item->name + QStringLiteral(" não foi encontrado.") +
             lineSuffix(line));
        return;
    }

    if (trimmed.isEmpty()) {
        if (upperName == QLatin1String("DTHULTATUALIZ"))
            item->value = ImportDates::nowText();
        else if (upperName == QLatin1String("USURESP"))
            item->value = m_userCode;
        return;
    }

    switch (item->type) {
    case TFieldType::Float:
        if (!isFloat(trimmed))
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é um float válido") + lineSuffix(line));
        break;
    case TFieldType::Integer:
    case TFieldType::SmallInt:
        if (!isInteger(trimmed, traits.smallInt))
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é um integer válido") + lineSuffix(line));
        break;
    case TFieldType::Date:
        if (!ImportDates::parseDate(value).isValid())
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é uma data válida") + lineSuffix(line));
        break;
    case TFieldType::DateTime:
        // File dates carry no time; a moment the import set itself does.
        if (!(item->inFile() ? ImportDates::parseDate(value).isValid() : ImportDates::parseDateTime(value).isValid()))
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é uma date/time válido") + lineSuffix(line));
        break;
    case TFieldType::Text:
        // A NUL or line control inside a field is a damaged or foreign file,
        // not text anyone typed; stored, it would travel to the regulator.
        if (const ushort c = controlCharacter(value))
            fail(QStringLiteral("O valor do campo ") + item->name +
                 QStringLiteral(" contém um caractere de controle (código %1), que não é permitido.")
                     .arg(c == 0xffff ? 0 : int(c)) +
                 lineSuffix(line));
        // Text the regulator's files cannot hold would reach it altered.
        else if (const QString problem = Cp1252::fieldProblem(item->name, value); !problem.isEmpty())
            fail(problem + lineSuffix(line));
        break;
    }

    if (item->name == QLatin1String("SiglaCertificador")) {
        if (trimmed.toUpper() != m_certifierAcronym.toUpper())
            fail(QStringLiteral("Erro na SIGLA do Certtificador!") + lineSuffix(line));
    }

    if (item->name == QLatin1String("DataEmissao")) {
        const QDateTime issue = ImportDates::parseDateTime(value);
        if (issue.isValid()) {
            // Dates are compared as whole days.
            if (issue.date() <= QDate::currentDate())
                m_issueDate = issue;
            else
                fail(QStringLiteral("Data não pode ser superior a data do sistema!") + lineSuffix(line));
        }
    }

    if (item->name == QLatin1String("DataValid")) {
        const QDateTime valid = ImportDates::parseDateTime(value);
        if (m_issueDate.isValid() && valid.isValid() && m_issueDate.date() > valid.date())
            fail(QStringLiteral("Data de validade não pode ser inferior a data de emissão do certificado!") +
                 lineSuffix(line));
    }

    if (upperName.startsWith(QLatin1String("STATUS"))) {
        if (!isOneOf(trimmed.toUpper(), {QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("S")}))
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é uma situação válida ") + lineSuffix(line));
    }

    if (upperName == QLatin1String("EVENTO")) {
        static const QStringList events = {QStringLiteral("INC"), QStringLiteral("ALT"), QStringLiteral("CAN"),
                                           QStringLiteral("SUS"), QStringLiteral("REA"), QStringLiteral("APR")};
        if (!isOneOf(trimmed.toUpper(), events))
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é um EVENTO válido ") + lineSuffix(line));
    }

    if (upperName == QLatin1String("IMPORTADO") || upperName == QLatin1String("HISTORICOSIS")) {
        const QStringList codes = upperName == QLatin1String("IMPORTADO")
            ? QStringList{QStringLiteral("0"), QStringLiteral("1")}
            : QStringList{QStringLiteral("1"), QStringLiteral("2")};
        if (!isOneOf(trimmed, codes))
            fail(QStringLiteral("O valor ") + value + QStringLiteral(" não é válido ") + lineSuffix(line));
    }

    if ((upperName == QLatin1String("MARCAPROD") || upperName == QLatin1String("MODELOPROD")) &&
        trimmed.size() > MaxProductText) {
        fail(QStringLiteral("O Tamanho do conteudo do campo ") + upperName + QStringLiteral(" ") + value +
             QStringLiteral(" temporariamente não pode ser superior a 105 caracteres") + lineSuffix(line));
    } else {
        checkColumnWidth(item, traits.columnWidth);
    }
}

// A value wider than its column would be cut or stored over-long; refuse it.
bool TDataStruct::checkColumnWidth(const TDataStructItem *item, int columnWidth)
{
    if (columnWidth <= 0)
        return true;
    const QString trimmed = item->trimmedValue();
    if (trimmed.size() <= columnWidth)
        return true;
    fail(QStringLiteral("O Tamanho do conteudo do campo ") + item->name.toUpper() + QStringLiteral(" ") + item->value +
         QStringLiteral(" não pode ser superior a ") + QString::number(columnWidth) + QStringLiteral(" caracteres") +
         lineSuffix(item->lineNumber));
    return false;
}
