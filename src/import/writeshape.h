#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The statements TDataStruct::WriteRow runs for one descriptor class and one
// set of key items holding a value. They depend on nothing else, so an
// import builds each shape once (ImportSession keeps them) instead of once
// per record.
struct TWriteShape
{
    struct Statement
    {
        QStringList lines;         // as written to Log_BD.txt
        QString sql;               // the lines joined by line ends
        QByteArray logText;        // the lines, each followed by a line end, in UTF-8
        QList<int> params;         // item index of each placeholder, in order
        QList<int> dateRuleItems;  // items whose date lies between issue and now
    };

    bool hasKey = false;       // the descriptor has key items at all
    QList<int> keyParams;      // key items holding a value, in order
    QString existsSql;         // the existence test (when keyParams is not empty)
    Statement insert;
    Statement update;
};
