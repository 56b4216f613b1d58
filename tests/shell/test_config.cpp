#include "db/database.h"
#include "shell/configediting.h"
#include "shell/configlocal.h"
#include "shell/copysettings.h"
#include "shell/ui/configcertificadorpage.h"
#include "shell/ui/configuradiretoriospage.h"
#include "support/controls.h"
#include "support/scriptedmessenger.h"
#include "support/testhome.h"
#include "support/whenmodal.h"
#include "widgets/folderchooser.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestConfig : public QObject
{
    Q_OBJECT

private:
    TestHome *m_home = nullptr;
    QTemporaryDir *m_dir = nullptr; // folders to choose
    Database *m_db = nullptr;
    ScriptedMessenger m_msg;
    QStringList m_copies; // every value the shell's certifier copy received

    CertifierCopyFn copyFn()
    {
        return [this](const QString &code) { m_copies << code; };
    }
    void insertRow(const QString &code, const QString &name = QStringLiteral("Organismo"))
    {
        m_db->execute(QStringLiteral("INSERT INTO CONFIG_LOCAL (SiglaCertificador, NomeOCC, LoginFTP, SenhaFTP, "
                                     "EndQueloraEnvio, EndSMTPHost, EndSMTPPort) VALUES (?, ?, 'occ', 's3nh@', "
                                     "'ftp.quelora:21/remessas', 'smtp.local', '25')"),
                      {code, name});
    }
    QVariant column(const QString &name)
    {
        return m_db->scalar(QStringLiteral("SELECT %1 FROM CONFIG_LOCAL").arg(name));
    }

private slots:
    void init()
    {
        m_home = new TestHome;
        m_dir = new QTemporaryDir;
        m_db = new Database;
        m_home->open(*m_db);
        m_msg.clear();
        m_msg.answers.clear();
        m_copies.clear();
    }
    void cleanup()
    {
        delete m_db;
        delete m_dir;
        delete m_home;
    }

    void changedCodeNeedsConfirmation()
    {
        insertRow(QStringLiteral("ABC"));
        ConfigCertificadorPage page(*m_db, m_msg, copyFn());
        QSignalSpy left(&page, &ConfigCertificadorPage::leave);
        page.enter();
        QCOMPARE(m_copies, QStringList{QStringLiteral("ABC")});
        QCOMPARE(page.rememberedCode(), QStringLiteral("ABC"));
        auto *sigla = child<QLineEdit>(&page, "DbeSiglaCert");
        QCOMPARE(sigla->text(), QStringLiteral("ABC"));

        // No: the page stays with the new code, nothing written.
        sigla->setText(QStringLiteral("XYZ"));
        m_msg.answers.enqueue(false);
        child<QPushButton>(&page, "btnOK")->click();
        QCOMPARE(m_msg.messages.size(), 1);
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Confirm);
        QCOMPARE(m_msg.lastText(),
                 QStringLiteral("A sigla do Certificador só deve ser alterada sob orientação do "
                                "Quelora. Você tem certeza de quer prosseguir?"));
        QCOMPARE(m_msg.lastCaption(), QStringLiteral("Edição do Certificador"));
        QCOMPARE(left.count(), 0);
        QCOMPARE(sigla->text(), QStringLiteral("XYZ"));
        QCOMPARE(column(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("ABC"));

        // Cancela restores the stored code and refreshes the shell's copy.
        child<QPushButton>(&page, "btnCancel")->click();
        QCOMPARE(left.count(), 1);
        QCOMPARE(sigla->text(), QStringLiteral("ABC"));
        QCOMPARE(m_copies.last(), QStringLiteral("ABC"));
        QCOMPARE(column(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("ABC"));

        // Yes: saved, the rest of the row kept, the copy follows.
        page.enter();
        sigla->setText(QStringLiteral("XYZ"));
        m_msg.answers.enqueue(true);
        child<QPushButton>(&page, "btnOK")->click();
        QCOMPARE(left.count(), 2);
        QCOMPARE(column(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("XYZ"));
        QCOMPARE(column(QStringLiteral("SenhaFTP")).toString(), QStringLiteral("s3nh@"));
        QCOMPARE(m_copies.last(), QStringLiteral("XYZ"));
        QCOMPARE(ConfigLocalStore::rowCount(*m_db), 1);
    }

    void firstConfigurationUpperCaseAndApostrophe()
    {
        ConfigCertificadorPage page(*m_db, m_msg, copyFn());
        QSignalSpy left(&page, &ConfigCertificadorPage::leave);
        page.enter();
        QCOMPARE(m_copies, QStringList{QString()});
        auto *sigla = child<QLineEdit>(&page, "DbeSiglaCert");
        auto *nome = child<QLineEdit>(&page, "DBEdit2");
        QCOMPARE(sigla->maxLength(), 8);

        // An empty code is refused and nothing is written.
        child<QPushButton>(&page, "btnOK")->click();
        QCOMPARE(m_msg.lastText(), QStringLiteral("A sigla do Certificador não pode estar em branco."));
        QCOMPARE(m_msg.lastCaption(), QStringLiteral("Erro de Edição"));
        QCOMPARE(left.count(), 0);
        QCOMPARE(ConfigLocalStore::rowCount(*m_db), 0);

        QTest::keyClicks(sigla, QStringLiteral("occ-x"));
        QCOMPARE(sigla->text(), QStringLiteral("OCC-X"));
        const QString name = QStringLiteral("Organismo d'Avaliação \"Ação\"");
        nome->setText(name);
        m_msg.clear();
        m_msg.answers.enqueue(true);
        child<QPushButton>(&page, "btnOK")->click();
        QCOMPARE(left.count(), 1);
        QCOMPARE(column(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("OCC-X"));
        QCOMPARE(column(QStringLiteral("NomeOCC")).toString(), name);
        QCOMPARE(m_copies.last(), QStringLiteral("OCC-X"));

        // Saving unchanged asks nothing; Enter in an edit is "Ok".
        m_msg.clear();
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.enter();
        QTest::keyClick(nome, Qt::Key_Return);
        QCOMPARE(m_msg.messages.size(), 0);
        QCOMPARE(left.count(), 2);
        // Escape is "Cancela".
        page.enter();
        nome->setText(QStringLiteral("outro"));
        QTest::keyClick(nome, Qt::Key_Escape);
        QCOMPARE(left.count(), 3);
        QCOMPARE(nome->text(), name);

        // A lower-case code that bypassed the edit is still stored in upper case.
        page.enter();
        sigla->setText(QStringLiteral("occ-x"));
        child<QPushButton>(&page, "btnOK")->click();
        QCOMPARE(m_msg.messages.size(), 0);
        QCOMPARE(left.count(), 4);
        QCOMPARE(column(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("OCC-X"));
        QCOMPARE(ConfigLocalStore::rowCount(*m_db), 1);
    }

    void folderPageBeforeCertifier()
    {
        ConfiguraDiretoriosPage page(*m_db, m_msg, copyFn());
        bool asked = false;
        page.setDirectoryChooser([&](QWidget *, const QString &) {
            asked = true;
            return QStringLiteral("/tmp");
        });
        QSignalSpy left(&page, &ConfiguraDiretoriosPage::leave);
        page.enter();
        QCOMPARE(m_msg.lastText(), QStringLiteral("As configuraçãoes do Certificador não foram cadastradas."));
        QCOMPARE(m_msg.lastCaption(), QStringLiteral("Erro de Edição"));
        QVERIFY(!page.editable());
        auto *browse = child<QPushButton>(&page, "bbtBrowse2");
        QVERIFY(!browse->isEnabled());
        browse->click();
        QVERIFY(!asked);
        QVERIFY(child<QLineEdit>(&page, "dbeLoginFTP")->isReadOnly());
        child<QLineEdit>(&page, "dbeLoginFTP")->setText(QStringLiteral("user"));
        child<QPushButton>(&page, "BitBtn10")->click();
        QCOMPARE(left.count(), 1);
        QCOMPARE(ConfigLocalStore::rowCount(*m_db), 0);
    }

    void folderPageSavesAndBrowses()
    {
        insertRow(QStringLiteral("OCC"), QStringLiteral("Nome d'OCC"));
        ConfiguraDiretoriosPage page(*m_db, m_msg, copyFn());
        const QString chosen = m_dir->filePath(QStringLiteral("transf"));
        QStringList answers{QString(), chosen};
        QStringList starts;
        page.setDirectoryChooser([&](QWidget *, const QString &current) {
            starts << current;
            return answers.takeFirst();
        });
        QSignalSpy left(&page, &ConfiguraDiretoriosPage::leave);
        page.enter();
        QCOMPARE(m_msg.messages.size(), 0);
        QVERIFY(page.editable());
        QCOMPARE(m_copies, QStringList{QStringLiteral("OCC")});

        auto *transf = child<QLineEdit>(&page, "dbeTransf");
        QVERIFY(transf->isReadOnly());
        child<QPushButton>(&page, "bbtBrowse3")->click(); // cancelled
        QCOMPARE(transf->text(), QString());
        child<QPushButton>(&page, "bbtBrowse3")->click();
        QCOMPARE(transf->text(), chosen);
        QCOMPARE(child<QLineEdit>(&page, "dbeSinc")->text(), QString());

        auto *senha = child<QLineEdit>(&page, "dbeSenhaFTP");
        QCOMPARE(senha->echoMode(), QLineEdit::Password);
        QCOMPARE(senha->text(), QStringLiteral("s3nh@"));
        for (const char *name : {"dbeEnvioRemessas", "dbeResult", "dbeEndTabAux", "dbeLoginFTP", "dbeSenhaFTP",
                                 "DBEdit1", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6"})
            child<QLineEdit>(&page, name)->clear();
        child<QPushButton>(&page, "BitBtn10")->click();
        QCOMPARE(m_msg.messages.size(), 0);
        QCOMPARE(left.count(), 1);
        QCOMPARE(column(QStringLiteral("DirLocalTransf")).toString(), chosen);
        for (const char *col : {"EndQueloraEnvio", "LoginFTP", "SenhaFTP", "EndSMTPHost", "EndSMTPPort"})
            QVERIFY2(column(QLatin1String(col)).toString().isEmpty(), col);
        QCOMPARE(column(QStringLiteral("SiglaCertificador")).toString(), QStringLiteral("OCC"));
        QCOMPARE(column(QStringLiteral("NomeOCC")).toString(), QStringLiteral("Nome d'OCC"));

        // Cancela discards what was typed.
        page.enter();
        child<QLineEdit>(&page, "DBEdit1")->setText(QStringLiteral("smtp.outro"));
        child<QPushButton>(&page, "BitBtn11")->click();
        QCOMPARE(left.count(), 2);
        QCOMPARE(child<QLineEdit>(&page, "DBEdit1")->text(), QString());
        QVERIFY(column(QStringLiteral("EndSMTPHost")).toString().isEmpty());

        // The number of database copies kept is saved with the folders.
        auto *copies = child<QSpinBox>(&page, "spnQtdCopias");
        page.enter();
        QCOMPARE(copies->value(), 10);
        copies->setValue(4);
        child<QPushButton>(&page, "BitBtn10")->click();
        QCOMPARE(CopySettings::keep(*m_db), 4);
        page.enter();
        QCOMPARE(copies->value(), 4);
        child<QPushButton>(&page, "BitBtn11")->click();
    }

    // The servers' certificate file is set on the page like the folders,
    // kept out of the row the remittances carry, and a database from before
    // the setting reads it as empty.
    void certificateFileIsAFolderPageSetting()
    {
        insertRow(QStringLiteral("OCC"));
        QVERIFY(!m_db->tableExists(QStringLiteral("CONFIG_CERTIFICADO")));
        QCOMPARE(ConfigLocalStore::read(*m_db)->arqCertificadoTLS, QString());
        ConfiguraDiretoriosPage page(*m_db, m_msg, copyFn());
        QSignalSpy left(&page, &ConfiguraDiretoriosPage::leave);
        page.enter();
        auto *cert = child<QLineEdit>(&page, "dbeCertificadoTLS");
        QVERIFY(!cert->isReadOnly());
        cert->setText(QStringLiteral("/etc/corvane/quelora.pem"));
        child<QPushButton>(&page, "BitBtn10")->click();
        QCOMPARE(left.count(), 1);
        QCOMPARE(m_msg.messages.size(), 0);
        QCOMPARE(ConfigLocalStore::read(*m_db)->arqCertificadoTLS, QStringLiteral("/etc/corvane/quelora.pem"));
        QVERIFY(!ConfigLocal::columns().contains(ConfigLocal::CertificateFile, Qt::CaseInsensitive));

        page.enter();
        QCOMPARE(cert->text(), QStringLiteral("/etc/corvane/quelora.pem"));
        cert->clear();
        child<QPushButton>(&page, "BitBtn10")->click();
        QCOMPARE(ConfigLocalStore::read(*m_db)->arqCertificadoTLS, QString());
    }

    void tooLongFolderIsRefusedNotCut()
    {
        insertRow(QStringLiteral("OCC"));
        ConfiguraDiretoriosPage page(*m_db, m_msg, copyFn());
        const QString longPath = QStringLiteral("/dados/") + QString(120, QLatin1Char('d'));
        page.setDirectoryChooser([&](QWidget *, const QString &) { return longPath; });
        QSignalSpy left(&page, &ConfiguraDiretoriosPage::leave);
        page.enter();
        child<QPushButton>(&page, "bbtBrowse2")->click();
        QCOMPARE(child<QLineEdit>(&page, "dbeSinc")->text(), longPath);
        child<QPushButton>(&page, "BitBtn10")->click();
        QCOMPARE(left.count(), 0);
        QCOMPARE(m_msg.lastKind(), ScriptedMessenger::Warning);
        QVERIFY(column(QStringLiteral("DirLocalSincr")).isNull());
    }

    void pageTexts()
    {
        ConfigCertificadorPage cert(*m_db, m_msg, copyFn());
        ConfiguraDiretoriosPage dirs(*m_db, m_msg, copyFn());
        QCOMPARE(cert.objectName(), QStringLiteral("ConfigCertificador"));
        QCOMPARE(dirs.objectName(), QStringLiteral("ConfiguraDiretorios"));
        QStringList titles;
        for (auto *g : dirs.findChildren<QGroupBox *>())
            titles << g->title();
        for (auto *g : cert.findChildren<QGroupBox *>())
            titles << g->title();
        titles.sort();
        QCOMPARE(
            titles,
            (QStringList{QStringLiteral(" Diretórios Locais "), QStringLiteral(" Endereços EMail Local "),
                         QStringLiteral(" Endereços FTP do Quelora "), QStringLiteral("Configuração de Diretórios"),
                         QStringLiteral("Configuração do Certificador")}));
        QStringList labels;
        for (auto *l : dirs.findChildren<QLabel *>())
            labels << l->text();
        QVERIFY(labels.contains(QStringLiteral("Endereço o Host - EMail")));
        QVERIFY(labels.contains(QStringLiteral("Responsável Quelora receb. do EMail")));
        QVERIFY(labels.contains(QStringLiteral("Arquivo de Certificado (TLS) dos Servidores")));
        QVERIFY(labels.contains(QStringLiteral("Cópias da base de dados a manter")));
        QCOMPARE(labels.size(), 15);
        for (const char *name : {"bbtBrowse2", "bbtBrowse3", "bbtBrowse4"})
            QCOMPARE(child<QPushButton>(&dirs, name)->text(), QStringLiteral("Browse..."));
        QCOMPARE(child<QPushButton>(&dirs, "BitBtn11")->text(), QStringLiteral("Cancela"));
    }

    void directoryChooser()
    {
        QDir(m_dir->path()).mkpath(QStringLiteral("a/b c"));
        const QString target = m_dir->filePath(QStringLiteral("a/b c"));
        {
            FolderChooser dialog(FolderChooser::Face::Settings);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Selecionar Diretório"));
            dialog.setRoot(m_dir->path());
            QCOMPARE(dialog.directory(), QDir::cleanPath(m_dir->path()));
            QVERIFY(dialog.setDirectory(target));
            QCOMPARE(dialog.directory(), target);
            QVERIFY(!dialog.setDirectory(m_dir->filePath(QStringLiteral("nao-existe"))));
        }
        // The static form: OK returns the folder, Cancela nothing.
        auto press = [](const char *button) {
            whenModal<QWidget>([button](QWidget *w) { child<QPushButton>(w, button)->click(); });
        };
        press("OKBtn");
        QCOMPARE(FolderChooser::choose(FolderChooser::Face::Settings, nullptr, target), target);
        press("CancelBtn");
        QCOMPARE(FolderChooser::choose(FolderChooser::Face::Settings, nullptr, target), QString());
    }
};

QTEST_MAIN(TestConfig)
#include "test_config.moc"
