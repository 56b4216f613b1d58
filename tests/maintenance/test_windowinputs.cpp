// Every window of the register, walked control by control: what a user types
// fits the column it fills, and what a user reads or changes is announced
// over the accessibility bus by the words beside it.
#include "db/schema.h"
#include "maintenance/certificates/ui/aprovacertificadospage.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/certificates/ui/tfrmjustificativa.h"
#include "maintenance/companies/companycascade.h"
#include "maintenance/companies/ui/tfrmalterastatusempresa.h"
#include "maintenance/companies/ui/tfrminclempresa.h"
#include "maintenance/documents/ui/tfrmdocumentosnormativos.h"
#include "maintenance/documents/ui/tfrmgerahistorico.h"
#include "maintenance/products/ui/tfrminclproduto.h"
#include "maintenance/ui/tformprincipal.h"
#include "register/statusevents.h"
#include "shell/loginstate.h"
#include "shell/programdatabase.h"
#include "support/selectionfixture.h"
#include "widgets/columnfit.h"
#include "widgets/maskeddateedit.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

namespace {

const QDate Issue(2024, 1, 10);

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

QString withoutMnemonic(QString text)
{
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1String("\x01"), QLatin1String("&"));
    return text;
}

// Qt's own pieces (the popup of a combo, its line edit, a spin box's
// editor) are not controls of the window.
bool ownPiece(QWidget *w)
{
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<QComboBox *>(p))
            return true;
    return false;
}

QString describe(QWidget *w)
{
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
}

bool isInput(QWidget *w)
{
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QPlainTextEdit *>(w);
}

bool isGrid(QWidget *w)
{
    return qobject_cast<QTableView *>(w) || qobject_cast<QTreeView *>(w) || qobject_cast<QListView *>(w);
}

// What a screen reader would get wrong in the window.
QStringList unnamed(QWidget *root)
{
    QHash<QWidget *, QLabel *> labelOf;
    for (QLabel *l : root->findChildren<QLabel *>())
        if (l->buddy())
            labelOf.insert(l->buddy(), l);
    QStringList out;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (ownPiece(w))
            continue;
        const QString name = accessibleName(w);
        if (isInput(w)) {
            if (QLabel *l = labelOf.value(w)) {
                // Over the Linux bus a combo box's name is the item it shows;
                // its label reaches the reader as the "labelled by" relation.
                if (qobject_cast<QComboBox *>(w))
                    continue;
                if (name != withoutMnemonic(l->text()))
                    out << describe(w) + QStringLiteral(": \"%1\", label \"%2\"").arg(name, l->text());
            } else if (w->accessibleName().isEmpty()) {
                // Without a label of its own Qt falls back on the group's title.
                out << describe(w) + QStringLiteral(": no label, read as \"%1\"").arg(name);
            }
        } else if (isGrid(w)) {
            QGroupBox *group = nullptr;
            // A tab page is the grid's own caption: groups beyond it hold the whole tab set.
            for (QWidget *p = w->parentWidget(); p && p != root && !group && !qobject_cast<QTabWidget *>(p);
                 p = p->parentWidget())
                group = qobject_cast<QGroupBox *>(p);
            const QString expected = group ? withoutMnemonic(group->title()).trimmed() : QString();
            if (name.isEmpty() || (group && name != expected))
                out << describe(w) + QStringLiteral(": grid read as \"%1\", group \"%2\"").arg(name, expected);
        } else if (auto *l = qobject_cast<QLabel *>(w)) {
            if (!l->text().isEmpty() && !l->accessibleName().isEmpty() &&
                l->accessibleName() != withoutMnemonic(l->text()))
                out << describe(w) + QStringLiteral(": shows \"%1\", read as \"%2\"").arg(l->text(), name);
        }
    }
    return out;
}

// Inputs a user types into that do not take their length from a column.
QStringList unfitted(QWidget *root)
{
    QStringList out;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (ownPiece(w) || qobject_cast<MaskedDateEdit *>(w))
            continue;
        auto *edit = qobject_cast<QLineEdit *>(w);
        auto *combo = qobject_cast<QComboBox *>(w);
        auto *memo = qobject_cast<QPlainTextEdit *>(w);
        if ((edit && edit->isReadOnly()) || (combo && !combo->isEditable()) || (memo && memo->isReadOnly()) ||
            (!edit && !combo && !memo))
            continue;
        const QString column = ColumnFit::columnOf(w);
        if (column.isEmpty()) {
            out << describe(w) + QStringLiteral(": no column");
            continue;
        }
        const Schema::Table *t = Schema::table(column.section(QLatin1Char('.'), 0, 0));
        const Schema::Field *f = t ? t->field(column.section(QLatin1Char('.'), 1)) : nullptr;
        QLineEdit *line = edit ? edit : combo ? combo->lineEdit() : nullptr;
        if (!f)
            out << describe(w) + QStringLiteral(": unknown column ") + column;
        else if (line && (line->maxLength() > f->size || line->maxLength() <= 0))
            out << describe(w) +
                    QStringLiteral(": %1 characters for %2 (%3)").arg(line->maxLength()).arg(column).arg(f->size);
    }
    return out;
}

struct Fixture : SelectionFixture
{
    ProgramDatabase capa{nullptr, QStringLiteral("InputsTest")};
    LoginState login;
    MaintenanceContext ctx{*db, msg, QStringLiteral("joana"),
                           [](bool, const QDateTime &) -> std::optional<Justification> { return std::nullopt; }};

    Fixture()
    {
        login.userCode = QStringLiteral("joana");
        certificate(QStringLiteral("C-1"), QStringLiteral("COMP"), 101, Issue);
        legalEntity(QStringLiteral("BR"), QStringLiteral("11222333000181"), QStringLiteral("11222333000181"),
                    QStringLiteral("Conexa Ltda."), QStringLiteral("Conexa"));
        link(QStringLiteral("C-1"), QStringLiteral("BR"), QStringLiteral("11222333000181"));
        product(QStringLiteral("Marca"), QStringLiteral("M1"), 0);
        for (const char *table : {"TIPO", "LOTE", "UNIDADE"})
            item(QLatin1String(table), QStringLiteral("C-1"), QStringLiteral("Marca"), QStringLiteral("M1"), 0);
        service(QStringLiteral("C-1"), 10, QStringLiteral("BR"), QStringLiteral("11222333000181"));
        run("update CERTIFIC set Completo = 1");
    }
    DocNormLinks::Item generalItem()
    {
        DocNormLinks::Item i;
        i.certificate = {Sigla, QStringLiteral("C-1")};
        i.idClasseCertif = QStringLiteral("COMP");
        i.idClasseProd = 101;
        i.issue = Issue.startOfDay();
        return i;
    }
};

}

class TestWindowInputs : public QObject
{
    Q_OBJECT

private slots:
    void everyWindowIsReadByItsLabels()
    {
        Fixture f;
        TFormPrincipal frm(f.capa, f.msg, f.login, {"USUÁRIO: joana", "Módulo"});
        frm.modificaCertificado()->load({Sigla(), QStringLiteral("C-1")});
        const QStringList mainProblems = unnamed(&frm);
        QVERIFY2(mainProblems.isEmpty(), qPrintable(mainProblems.join(QLatin1String("; "))));
        // A combo box carries its label's words where the platform reads them.
        QCOMPARE(frm.findChild<QComboBox *>(QStringLiteral("DBLookupComboBox5"))->accessibleName(),
                 QStringLiteral("Tipo de Certificado"));
        QCOMPARE(accessibleName(frm.findChild<QLineEdit *>(QStringLiteral("DBEdtDthEntEmpresa"))),
                 QStringLiteral("Data de Entrada"));
        // The status is read as the word shown, the group only describes it.
        auto *status = frm.findChild<QLabel *>(QStringLiteral("DBText1"));
        QCOMPARE(status->text(), QStringLiteral("Ativo"));
        QCOMPARE(accessibleName(status), QStringLiteral("Ativo"));

        TFrmDocumentosNormativos docs(f.ctx, DocNormLinks::Mode::DadosGerais, f.generalItem());
        QCOMPARE(unnamed(&docs), QStringList());
        QCOMPARE(accessibleName(docs.findChild<QComboBox *>(QStringLiteral("cmbTipoDoc"))),
                 QStringLiteral("Tipo de Documento"));

        AprovaCertificadosPage approval(*f.db, f.msg, f.login);
        QCOMPARE(unnamed(&approval), QStringList());
        QCOMPARE(accessibleName(approval.findChild<QTableView *>(QStringLiteral("DBGrid24"))),
                 QStringLiteral("Aprovação de Certificados"));

        TFrmJustificativa justification(f.msg, true, Issue.startOfDay());
        TFrmGeraHistorico history(*f.db, f.msg, QStringLiteral("joana"), StatusEvents::Table::Status_C,
                                  StatusEvents::certificateKey(Sigla(), QStringLiteral("C-1")), Issue.startOfDay());
        TFrmInclEmpresa company(*f.db, f.msg, QStringLiteral("joana"));
        TFrmInclProduto product(*f.db, f.msg, QStringLiteral("joana"));
        const CascadeRequest cascade{{Sigla(), QStringLiteral("C-1")},
                                     {QStringLiteral("BR"), QStringLiteral("11222333000181")},
                                     QStringLiteral("joana"),
                                     QStringLiteral("S"),
                                     QStringLiteral("SUS")};
        TFrmAlteraStatusEmpresa transfer(*f.db, f.msg, cascade, f.ctx.askJustification);
        for (QWidget *w : std::initializer_list<QWidget *>{&justification, &history, &company, &product, &transfer})
            QVERIFY2(unnamed(w).isEmpty(), qPrintable(unnamed(w).join(QLatin1String("; "))));
    }

    void everyTypedValueFitsItsColumn()
    {
        Fixture f;
        TFormPrincipal frm(f.capa, f.msg, f.login, {"USUÁRIO: joana", "Módulo"});
        frm.modificaCertificado()->load({Sigla(), QStringLiteral("C-1")});
        QCOMPARE(unfitted(&frm), QStringList());
        TFrmDocumentosNormativos docs(f.ctx, DocNormLinks::Mode::DadosGerais, f.generalItem());
        TFrmGeraHistorico history(*f.db, f.msg, QStringLiteral("joana"), StatusEvents::Table::Status_C,
                                  StatusEvents::certificateKey(Sigla(), QStringLiteral("C-1")), Issue.startOfDay());
        TFrmInclEmpresa company(*f.db, f.msg, QStringLiteral("joana"));
        TFrmInclProduto product(*f.db, f.msg, QStringLiteral("joana"));
        for (QWidget *w : std::initializer_list<QWidget *>{&docs, &history, &company, &product})
            QCOMPARE(unfitted(w), QStringList());

        // A 300-character justification keeps what the column takes, and
        // the change it justifies goes through.
        TFrmJustificativa justification(f.msg, false, Issue.startOfDay());
        QCOMPARE(unfitted(&justification), QStringList());
        auto *text = justification.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        QTest::keyClicks(text, QString(300, QLatin1Char('j')));
        QCOMPARE(text->text(), QString(255, QLatin1Char('j')));
        justification.confirm();
        QCOMPARE(justification.result(), int(QDialog::Accepted));
        QVERIFY(f.msg.messages.isEmpty());
    }

private:
    static QString Sigla() { return SelectionFixture::Sigla; }
};

QTEST_MAIN(TestWindowInputs)
#include "test_windowinputs.moc"
