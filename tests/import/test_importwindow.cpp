#include "import/ui/tfrmimporta.h"
#include "support/controls.h"
#include "support/importrunfixture.h"
#include "widgets/jobrunner.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using B = ImportFileBuilder;

namespace {
const QString Important = QStringLiteral("IMPORTANTE: Se o tamanho do arquivo a ser importado exceder a capacidade de "
                                         "memória RAM deste equipamento a rotina poderá ser interrompida antes do "
                                         "término.");
}

class TestImportWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    template <typename T> static T *control(QWidget &w, const char *name) { return child<T>(w, name); }

private slots:
    void initTestCase()
    {
        // "Novo Processamento" returns the folder to the user's home.
        qputenv("HOME", m_home.path().toLocal8Bit());
    }

    void controlsAndCaptions()
    {
        ImportRunFixture f;
        TfrmImporta w("KESTRAVO", *f.db, "imp", f.msg);
        QCOMPARE(w.windowTitle(), QStringLiteral("Importador de arquivo txt"));
        QCOMPARE(control<QPushButton>(w, "BitBtn2")->text(), QStringLiteral("Importar para o Banco de dados"));
        QCOMPARE(control<QPushButton>(w, "BtnCancel")->text(), QStringLiteral("&Novo Processamento"));
        QCOMPARE(control<QPushButton>(w, "BtnCancel")->toolTip(), QStringLiteral("Cancela seleção de Arquivo TXT"));
        QCOMPARE(control<QPushButton>(w, "BitBtn1")->text(), QStringLiteral("&Sair"));
        QCOMPARE(control<QPushButton>(w, "SpeedButton1")->text(), QStringLiteral("Erros de Importação"));
        QCOMPARE(control<QPushButton>(w, "Button6")->text(), QStringLiteral("Deletar Log_BD.txt"));
        QVERIFY(!control<QPushButton>(w, "SpeedButton1")->isEnabled());
        QVERIFY(!control<QPushButton>(w, "BitBtn2")->isEnabled()); // the home folder holds no file
        control<QPushButton>(w, "DriveComboBox1");
        control<QLineEdit>(w, "DirectoryListBox1");
        control<QListWidget>(w, "FileListBox1");
        control<QListWidget>(w, "LBoxImportadas");
        for (const char *p : {"PbImportaTXT", "PbAtualizaBD", "PbCertcOMPLETO"})
            QCOMPARE(control<QProgressBar>(w, p)->value(), 0);
        for (const char *c : {"CkTransferindo", "CkAtualiza", "ckCertCompleto"})
            QVERIFY(control<QCheckBox>(w, c)->isHidden());
        auto *pages = control<QTabWidget>(w, "PageControl1");
        QStringList tabs;
        for (int i = 0; i < pages->count(); ++i)
            tabs << pages->tabText(i);
        QCOMPARE(tabs,
                 (QStringList{"Avisos da importação", "Estruturas Importadas", "Erros do Arquivo Texto",
                              "Conteudo do txt que esta sendo importado", "Log BD"}));
        for (const char *m : {"Memo4", "Memo3", "MemoLog", "Memo2", "MemoLogBD"})
            QVERIFY(w.findChild<QWidget *>(QLatin1String(m)));
        QVERIFY(f.msg.texts().isEmpty());
    }

    void folderChoiceListsImportFiles()
    {
        ImportRunFixture f;
        f.write(2, B(ImportRunFixture::Sigla).completeCertificate("C-2"));
        f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        QFile other(f.path("notas.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        TfrmImporta w("KESTRAVO", *f.db, "imp", f.msg);
        w.setDirectory(f.dir());
        auto *list = control<QListWidget>(w, "FileListBox1");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), f.name(1));
        QVERIFY(control<QPushButton>(w, "BitBtn2")->isEnabled());
        QCOMPARE(f.msg.texts(), QStringList{Important});

        // typing another folder into the box lists that one
        auto *box = control<QLineEdit>(w, "DirectoryListBox1");
        box->setText(m_home.path());
        emit box->editingFinished();
        QCOMPARE(list->count(), 0);
        QVERIFY(!control<QPushButton>(w, "BitBtn2")->isEnabled());
    }

    void runWithFailuresThenReset()
    {
        ImportRunFixture f;
        B bad(ImportRunFixture::Sigla);
        bad.record("[CERTIFIC]", B::certific("B-1", "Z"));
        const QString failed = f.write(1, bad);
        const QString good = f.write(2, B(ImportRunFixture::Sigla).completeCertificate("C-2"));
        TfrmImporta w("KESTRAVO", *f.db, "imp", f.msg);
        w.setDirectory(f.dir());
        f.msg.clear();

        QSignalSpy done(&w, &TfrmImporta::importFinished);
        control<QPushButton>(w, "BitBtn2")->click();
        QVERIFY(w.isRunning());
        QVERIFY(done.wait(30000));
        QCOMPARE(f.msg.texts(),
                 (QStringList{"Ocorreu erro na importação dos dados do arquivo " + failed,
                              "Importação dos dados do arquivo " + good + " concluída com sucesso",
                              "Ocorreram erros no processamento do(s) arquivo(s) TXT clique no botão ERROS DE "
                              "IMPORTAÇÃO para procedimentos de correção"}));
        QCOMPARE(f.count("CERTIFIC"), 1);
        // the run's own logs are gone, the error files stay beside the files
        QVERIFY(!f.exists("Log.txt"));
        QVERIFY(!f.exists("Log_BD.txt"));
        QVERIFY(f.exists("ERRO" + f.base(failed) + ".txt"));
        // reset: home folder, empty lists and memos, bars at 0
        QCOMPARE(w.directory(), QDir::cleanPath(m_home.path()));
        QCOMPARE(control<QListWidget>(w, "LBoxImportadas")->count(), 0);
        QCOMPARE(control<QProgressBar>(w, "PbImportaTXT")->value(), 0);
        QVERIFY(control<QCheckBox>(w, "ckCertCompleto")->isHidden());
        for (const char *b : {"BtnCancel", "BitBtn1", "SpeedButton1", "DriveComboBox1"})
            QVERIFY2(control<QPushButton>(w, b)->isEnabled(), b);

        f.msg.clear();
        control<QPushButton>(w, "SpeedButton1")->click();
        QCOMPARE(f.msg.texts(),
                 QStringList{"Ocorreram erros na IMPORTAÇÃO do(s) arquivo(s) TXT(s) e a rotina gerou "
                             "o(s) arquivo(s) " +
                             f.base(failed) + ", no mesmo diretório do(s) arquivos TXT processados."});
    }

    void successfulRunLeavesNoLogs()
    {
        ImportRunFixture f;
        const QString good = f.write(1, B(ImportRunFixture::Sigla).completeCertificate("C-1"));
        TfrmImporta w("kestravo", *f.db, "imp", f.msg);
        w.setDirectory(f.dir());
        f.msg.clear();
        QSignalSpy done(&w, &TfrmImporta::importFinished);
        auto *runner = w.findChild<JobRunner *>();
        QVERIFY(runner);
        QSignalSpy progress(runner, &JobRunner::progress);
        QTest::mouseClick(control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
        QVERIFY(done.wait(30000));
        QCOMPARE(f.msg.texts(), QStringList{"Importação dos dados do arquivo " + good + " concluída com sucesso"});
        // lines read came to the window as the file was read, up to its end
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0), progress.last().at(1));
        QCOMPARE(QDir(f.dir()).entryList(QDir::Files), QStringList{good});
        QVERIFY(!control<QPushButton>(w, "SpeedButton1")->isEnabled());
        QVERIFY(w.failedFiles().isEmpty());
    }

    void interruptLeavesNothingWritten()
    {
        ImportRunFixture f;
        B big(ImportRunFixture::Sigla);
        for (int i = 1; i <= 60; ++i)
            big.completeCertificate(QStringLiteral("C-%1").arg(i));
        const QString name = f.write(1, big);
        f.write(2, B(ImportRunFixture::Sigla).completeCertificate("Z-1"));
        TfrmImporta w("KESTRAVO", *f.db, "imp", f.msg);
        w.setDirectory(f.dir());
        f.msg.clear();
        auto *interrupt = control<QPushButton>(w, "BtInterrompe");
        QCOMPARE(interrupt->text(), QStringLiteral("Interrompe"));
        QVERIFY(!interrupt->isEnabled());

        QSignalSpy done(&w, &TfrmImporta::importFinished);
        control<QPushButton>(w, "BitBtn2")->click();
        QVERIFY(interrupt->isEnabled());
        // the window stays put while the run goes on
        w.close();
        QVERIFY(w.isRunning());
        interrupt->click();
        QVERIFY(done.wait(30000));

        QCOMPARE(f.msg.texts(),
                 QStringList{"A importação foi interrompida; nada do arquivo " + name + " foi gravado."});
        for (const char *table : {"CERTIFIC", "EMPRESA", "LOTE", "CONTROLE_TXT"})
            QVERIFY2(f.count(table) == 0, table);
        QCOMPARE(QDir(f.dir()).entryList(QDir::Files).size(), 2);
        QVERIFY(w.failedFiles().isEmpty());
        QVERIFY(!interrupt->isEnabled());
        for (const char *b : {"BtnCancel", "BitBtn1", "DriveComboBox1"})
            QVERIFY2(control<QPushButton>(w, b)->isEnabled(), b);
        QVERIFY(!control<QPushButton>(w, "SpeedButton1")->isEnabled());
    }

    void logBdButtonDeletesTheLog()
    {
        ImportRunFixture f;
        TfrmImporta w("KESTRAVO", *f.db, "imp", f.msg);
        w.setDirectory(f.dir());
        QFile log(f.path("Log_BD.txt"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.close();
        control<QPushButton>(w, "Button6")->click();
        QVERIFY(!f.exists("Log_BD.txt"));
    }
};

QTEST_MAIN(TestImportWindow)
#include "test_importwindow.moc"
