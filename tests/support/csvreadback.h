#pragma once
// A CSV file as Python's csv module reads it (";" between fields, UTF-8
// with or without its byte-order mark): an independent reader of what the
// program writes for spreadsheets. Empty when Python could not read it.
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

namespace CsvReadBack {

inline QList<QStringList> rows(const QString &file)
{
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import csv,sys,json\n"
                             "rows=list(csv.reader(open(sys.argv[1],encoding='utf-8-sig',newline=''),delimiter=';'))\n"
                             "print(json.dumps(rows))"),
              file});
    if (!py.waitForFinished(30000) || py.exitCode() != 0)
        return {};
    QList<QStringList> out;
    for (const QJsonValue &row : QJsonDocument::fromJson(py.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &v : row.toArray())
            fields << v.toString();
        out << fields;
    }
    return out;
}

}
