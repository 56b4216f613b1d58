#pragma once
#include "import/datastructitem.h"
#include "import/writeshape.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class Database;
class ImportSession;
class Messenger;

// Outcome of writing one descriptor's row.
struct TWriteResult
{
    bool succeeded = false;
    bool inserted = false; // true when the row was inserted, false when updated
};

// Base of every import record descriptor: the columns of one table row, where
// each value sits in the file, the checks of the values and the writing of
// the row. Concrete descriptors call DefineFields() from their constructor.
//
// Validation messages go to "Log.txt" and SQL traces to "Log_BD.txt", both in
// the log directory (the current directory when none is set).
class TDataStruct
{
public:
    static const QString LogFileName; // "Log.txt"
    static const QString LogBDFileName; // "Log_BD.txt"

    TDataStruct(const QString &certifierAcronym, const QString &userCode);
    virtual ~TDataStruct();
    TDataStruct(const TDataStruct &) = delete;
    TDataStruct &operator=(const TDataStruct &) = delete;

    virtual QString className() const = 0;

    QString tableName() const { return m_tableName; }
    QString statusTableName() const { return m_statusTableName; }
    QString parentTableName() const { return m_parentTableName; }

    QString certifierAcronym() const { return m_certifierAcronym; }
    void setCertifierAcronym(const QString &acronym) { m_certifierAcronym = acronym; }
    QString userCode() const { return m_userCode; }
    void setUserCode(const QString &code) { m_userCode = code; }

    Database *database() const { return m_database; }
    void setDatabase(Database *db) { m_database = db; }
    QString logDir() const { return m_logDir; }
    void setLogDir(const QString &dir) { m_logDir = dir; }
    Messenger *messenger() const { return m_messenger; }
    void setMessenger(Messenger *messenger) { m_messenger = messenger; }
    // The import of the current file, when there is one: logs are written
    // through it and lookups answered from it. Without one every value is
    // asked of the database and every log line opens its file.
    ImportSession *session() const { return m_session; }
    void setSession(ImportSession *session) { m_session = session; }

    bool isValid() const { return m_valid; }

    const QList<TDataStructItem *> &items() const { return m_items; }
    TDataStructItem *itemByName(const QString &name) const; // case-insensitive, nullptr if absent
    int indexOf(const TDataStructItem *item) const;

    // The item's current value; a sequence item is "max(SeqEvento) + 1" of the
    // table, computed on every read (empty without a database).
    QString FieldValue(const TDataStructItem *item) const;

    // Checks every item in order; each failure is logged and clears the valid flag.
    virtual void Validate();

    // Updates the row when its key finds one, else inserts it.
    TWriteResult WriteRow(Database &db);

    // Appends one line to a file of the log directory; empty name = "Log.txt".
    void AppendLog(const QString &fileName, const QString &text) const;
    QString logPath(const QString &fileName) const;

protected:
    enum Flag { NoFlag = 0, Key = 1, Required = 2 };

    // Adds DthUltAtualiz and UsuResp; descendants call it first.
    virtual void DefineFields();
    void setTables(const QString &table, const QString &statusTable, const QString &parentTable);
    // A field of the file layout: its data line within the record (from 1),
    // first and last column.
    TDataStructItem *addFileField(int line, int firstColumn, int lastColumn, const QString &name, TFieldType type,
                                  int flags);
    // A column that is not in the file.
    TDataStructItem *addField(const QString &name, TFieldType type, int flags);
    // SeqEvento of a status table: key, computed.
    void addSequenceField();

    // Logs a validation message to "Log.txt" and marks the record invalid.
    void fail(const QString &message);
    static QString lineSuffix(int line); // " Verifique a linha N do arquivo txt."

private:
    // What validation and writing look up by name, worked out once per
    // class: the items and the table are fixed by DefineFields and the schema
    // is fixed, so every descriptor of a class has the same answers.
    struct ItemTraits
    {
        QString upperName;
        int columnWidth = 0; // text column size; 0 when not limited
        bool smallInt = false; // an integer of a 16-bit column
    };
    struct ClassTraits
    {
        QList<ItemTraits> items;
        int numcertif = -1; // itemByName("Numcertif")
        int sigla = -1; // itemByName("SiglaCertificador")
        int issueDate = -1; // itemByName("DataEmissao")
        bool noIssueDate = false; // EMPRESA and PRODUTO rows are not dated by a certificate
        bool certific = false; // the CERTIFIC table
        bool pairing = false; // the scratch pairing table, CTR_HISTORICO
    };
    const ClassTraits &traits() const;
    void validateItem(TDataStructItem *item, const ItemTraits &traits);
    bool checkColumnWidth(const TDataStructItem *item, int columnWidth);
    QDateTime referenceIssueDate(Database &db) const;
    void rememberWrittenIssueDate(ImportSession &session, const QStringList &values) const;
    bool isCertifierCertificate(const QStringList &values) const;
    // The sequence item's value; fresh when no row of the table can hold it.
    // Empty when no number can be given (error tells why).
    QString sequenceValue(bool *fresh, QString *error = nullptr) const;
    TWriteShape buildShape(const QStringList &values) const;
    bool execute(Database &db, const TWriteShape::Statement &statement, const QStringList &values);
    void appendLogLines(const QString &fileName, const QStringList &lines) const;
    // Text already in UTF-8 with its line ends.
    void appendLogBytes(const QString &fileName, const QByteArray &text) const;

    static constexpr size_t ItemRoom = 24;
    QList<TDataStructItem *> m_items;
    std::vector<TDataStructItem> m_itemStorage; // never grows past its reserved room
    QList<TDataStructItem *> m_extraItems; // items past the room, owned one by one
    QString m_tableName;
    QString m_statusTableName;
    QString m_parentTableName;
    QString m_certifierAcronym;
    QString m_userCode;
    Database *m_database = nullptr;
    Messenger *m_messenger = nullptr;
    ImportSession *m_session = nullptr;
    QString m_logDir;
    bool m_valid = true;
    int m_lastLine = 0;
    QDateTime m_issueDate; // DataEmissao of the record, once accepted
};
