#include "remessa/deltatext.h"
#include "base/cp1252.h"
#include "db/schema.h"

#include <QStringList>

namespace DeltaText {

QString rowProblem(const Schema::Table &table, const Database::Statement &row, const Database::Statement::Cell *cells)
{
    for (int i = 0; i < table.fields.size(); ++i) {
        const Database::Statement::Cell &c = cells[i];
        if (c.type != Database::Statement::Cell::Text)
            continue;
        // Plain ASCII, nearly every value, needs no decoding.
        bool ascii = true;
        for (int b = 0; b < c.size && ascii; ++b)
            ascii = static_cast<unsigned char>(c.text[b]) < 0x80;
        if (ascii)
            continue;
        const QString bad = Cp1252::firstUnencodable(QString::fromUtf8(c.text, c.size));
        if (bad.isEmpty())
            continue;
        QStringList key;
        for (const QString &k : table.key) {
            const int at = table.indexOf(k);
            if (at >= 0)
                key << table.fields.at(at).name + QStringLiteral(" = ") + row.value(at).toString();
        }
        return QStringLiteral("A remessa não foi preparada: na tabela %1, no registro %2, o campo %3 contém o "
                              "caractere \"%4\", que não existe no Windows-1252 e não pode ser enviado ao Quelora. "
                              "Corrija o texto e prepare a remessa de novo.")
            .arg(table.name, key.join(QStringLiteral(", ")), table.fields.at(i).name, bad);
    }
    return QString();
}

}
