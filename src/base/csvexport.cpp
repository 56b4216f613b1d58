#include "base/csvexport.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSaveFile>

namespace CsvExport {

namespace {

bool isFloating(const QVariant &value)
{
    const int id = value.typeId();
    return id == QMetaType::Double || id == QMetaType::Float;
}

// Text that starts like a formula would run as one when the file is opened
// (a company name typed as "=HYPERLINK(...)"); numbers such as "-3" stay.
bool looksLikeFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.at(0);
    if (first == QLatin1Char('=') || first == QLatin1Char('@') || first == QLatin1Char('\t') ||
        first == QLatin1Char('\r'))
        return true;
    if (first == QLatin1Char('+') || first == QLatin1Char('-')) {
        bool number = false;
        QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
        return !number;
    }
    return false;
}

}

QString cellText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    default: break;
    }
    if (isFloating(value)) {
        QLocale pt(QLocale::Portuguese, QLocale::Brazil);
        pt.setNumberOptions(QLocale::OmitGroupSeparator);
        return pt.toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    }
    if (value.typeId() != QMetaType::QString)
        return value.toString();
    const QString text = value.toString();
    return looksLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

QString field(const QString &text)
{
    static const QString special = QStringLiteral(";\"\r\n");
    bool quote = false;
    for (const QChar c : text)
        if (special.contains(c)) {
            quote = true;
            break;
        }
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray encode(const Table &table)
{
    QString out;
    auto record = [&out](const QStringList &fields) {
        out += fields.join(QLatin1Char(';'));
        out += QStringLiteral("\r\n");
    };
    QStringList fields;
    for (const QString &h : table.headers)
        fields << field(h);
    record(fields);
    for (const QVariantList &row : table.rows) {
        fields.clear();
        for (const QVariant &v : row)
            fields << field(cellText(v));
        record(fields);
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QString write(const QString &path, const Table &table)
{
    QSaveFile file(path);
    auto failed = [&file, &path] {
        return QStringLiteral("Não foi possível gravar o arquivo %1: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    const QByteArray bytes = encode(table);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = failed();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return failed();
    return QString();
}

}
