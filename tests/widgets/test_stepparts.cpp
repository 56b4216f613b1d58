// The blocks the step windows share, on a bare dialog: what starting and
// ending a job does to the buttons and groups, whatever window uses them.
#include "widgets/stepparts.h"

#include <QDialog>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A dialog laid out as the transfer windows are: buttons, progress, memo.
struct StepDialog : QDialog
{
    StepParts::StepView view;
    StepDialog()
    {
        auto *layout = new QVBoxLayout(this);
        view.addButtons(this, layout, QStringLiteral("BtAcao"), QStringLiteral("Age"), QStringLiteral("BtCancela"));
        view.addProgress(this, layout, QStringLiteral("Acompanhamento "));
        view.closeProgress(0, QStringLiteral("PbPasso"), QStringLiteral("Interrompe"));
        view.addResultMemo(this, layout, QStringLiteral("Resultado Final  "), QStringLiteral("Resultado Final"),
                           QStringLiteral("BtComprovante"), QStringLiteral("Emite Comprovante"));
        view.progress->hide();
        view.result->hide();
    }
};

}

class TestStepParts : public QObject
{
    Q_OBJECT

private slots:
    // Started, the job cannot be started again nor cancelled and its
    // progress shows; ended, "Interrompe" is off for good, the result shows
    // and "Saída" (even when the window had turned it off) takes the focus.
    void startingAndEndingAJob()
    {
        StepDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        QVERIFY(!d.view.receipt->isEnabled());
        QVERIFY(d.view.action->isEnabled() && d.view.cancel->isEnabled());

        d.view.started();
        d.view.exit->setEnabled(false);
        QVERIFY(d.view.progress->isVisible());
        QVERIFY(!d.view.result->isVisible());
        QVERIFY(!d.view.action->isEnabled() && !d.view.cancel->isEnabled());
        QVERIFY(d.view.interrupt->isEnabled());

        d.view.ended();
        QVERIFY(!d.view.interrupt->isEnabled());
        QVERIFY(d.view.result->isVisible());
        QVERIFY(d.view.exit->isEnabled());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(d.view.exit));
        QVERIFY(!d.view.action->isEnabled() && !d.view.cancel->isEnabled());
        QVERIFY(!d.view.receipt->isEnabled());
    }

    // "Cancela" and "Saída" both close the window unanswered; "Ok" is the
    // window's own.
    void cancelAndExitReject()
    {
        for (const char *name : {"BtCancela", "BtSaida"}) {
            StepDialog d;
            d.show();
            QSignalSpy accepted(&d, &QDialog::accepted);
            QSignalSpy rejected(&d, &QDialog::rejected);
            d.findChild<QPushButton *>(QLatin1String(name))->click();
            QCOMPARE(rejected.size(), 1);
            QCOMPARE(accepted.size(), 0);
            QVERIFY(!d.isVisible());
        }
        StepDialog d;
        d.show();
        d.view.action->click();
        QVERIFY(d.isVisible());
    }

    // The memo's lines are what a receipt prints: none for an empty memo,
    // blank lines kept inside.
    void memoLines()
    {
        QPlainTextEdit memo;
        QVERIFY(StepParts::memoLines(&memo).isEmpty());
        memo.appendPlainText(QStringLiteral("Usuário Responsável : Administrador"));
        memo.appendPlainText(QString());
        memo.appendPlainText(QStringLiteral("Transferência realizada com sucesso."));
        QCOMPARE(StepParts::memoLines(&memo),
                 (QStringList{QStringLiteral("Usuário Responsável : Administrador"), QString(),
                              QStringLiteral("Transferência realizada com sucesso.")}));
    }
};

QTEST_MAIN(TestStepParts)
#include "test_stepparts.moc"
