#pragma once
#include <QDialog>
#include <functional>

class Database;
class Messenger;
struct LoginState;
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
    // Opens the transfer mode choice for a file of a folder, modally; by
    // default the remittance transfer choice, for login.
    using TransferOpener = std::function<void(QWidget *parent, const QString &dir, const QString &fileName)>;

    TFrmEnviaTXT_FTP(Database &db, Messenger &messenger, const QString &acronym, const LoginState &login,
                     QWidget *parent = nullptr);
    ~TFrmEnviaTXT_FTP() override;

    void setTransferOpener(TransferOpener opener) { m_opener = std::move(opener); }
    QString directory() const { return m_dir; }
    void setDirectory(const QString &dir);

    void sendFile();
    void chooseFolder();

private:
    void DirectoryListBox1Change();
    void reloadLog();

    Database &m_db;
    Messenger &m_msg;
    QString m_acronym;
    QString m_dir;
    TransferOpener m_opener;

    QLineEdit *folderEdit = nullptr;
    QPushButton *folderButton = nullptr;
    QListWidget *fileList = nullptr;
    QPushButton *transferButton = nullptr;
    QPushButton *exitButton = nullptr;
    QTableView *logGrid = nullptr;
    QSqlQueryModel *m_log = nullptr;
};
