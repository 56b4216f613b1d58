#pragma once
#include <QDialog>
#include <functional>

class Database;
class Messenger;
class QListWidget;
class QLineEdit;
class QPushButton;
class QSqlQueryModel;
class QTableView;

// "Transfere arquivo TXT ": the certifier's TXT migration files of a chosen
// folder, the log of those already sent, and the hand-over of one file to the
// transfer mode choice.
class TFrmEnviaTXT_FTP : public QDialog
{
    Q_OBJECT
public:
    // Opens the transfer mode choice for a file of a folder, modally.
    using TransferOpener = std::function<void(QWidget *parent, const QString &dir, const QString &fileName)>;

    TFrmEnviaTXT_FTP(Database &db, Messenger &messenger, const QString &acronym, QWidget *parent = nullptr);
    ~TFrmEnviaTXT_FTP() override;

    void setTransferOpener(TransferOpener opener) { m_opener = std::move(opener); }
    QString directory() const { return m_dir; }
    void setDirectory(const QString &dir);

    void BtTransfereClick();
    void DriveComboBox1Click();

private:
    void DirectoryListBox1Change();
    void reloadLog();

    Database &m_db;
    Messenger &m_msg;
    QString m_acronym;
    QString m_dir;
    TransferOpener m_opener;

    QLineEdit *DirectoryListBox1 = nullptr;
    QPushButton *DriveComboBox1 = nullptr;
    QListWidget *LbarquivoTXT = nullptr;
    QPushButton *BtTransfere = nullptr;
    QPushButton *BtSair = nullptr;
    QTableView *DBGrid1 = nullptr;
    QSqlQueryModel *m_log = nullptr;
};
