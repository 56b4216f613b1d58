#include "maintenance/certificates/ui/certificateform.h"

#include "maintenance/certificates/certificatestore.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/maskeddateedit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

namespace {

// Certificate numbers are kept in upper case, as typed.
class UpperCase : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

void selectData(QComboBox *box, const QVariant &value)
{
    box->setCurrentIndex(value.isNull() || value.toString().isEmpty() ? -1 : box->findData(value));
}

void fill(QComboBox *box, const QList<CertificateStore::ClassItem> &items)
{
    const QVariant keep = box->currentData();
    box->clear();
    for (const auto &i : items)
        box->addItem(i.name, i.id.typeId() == QMetaType::QString ? i.id : QVariant(i.id.toInt()));
    selectData(box, keep);
}

}

CertificateForm::CertificateForm(const Names &n, QWidget *parent)
    : QWidget(parent)
{
    m_form = new QFormLayout(this);
    m_form->setContentsMargins(12, 12, 12, 12);
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_form->setVerticalSpacing(8);

    auto line = [this](const char *name, const char *column) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        ColumnFit::fit(e, QStringLiteral("CERTIFIC"), QLatin1String(column));
        connect(e, &QLineEdit::textEdited, this, &CertificateForm::edited);
        return e;
    };
    auto combo = [this](const char *name, bool editable) {
        auto *c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(editable);
        c->setMinimumWidth(360);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        connect(c, &QComboBox::activated, this, &CertificateForm::edited);
        if (editable)
            connect(c, &QComboBox::editTextChanged, this, &CertificateForm::edited);
        return c;
    };
    auto date = [this](const char *name) {
        auto *d = new MaskedDateEdit(this);
        d->setObjectName(QLatin1String(name));
        connect(d, &QLineEdit::textEdited, this, &CertificateForm::edited);
        return d;
    };
    auto row = [this](const QString &text, QWidget *field) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("Lb") + field->objectName());
        l->setBuddy(field);
        DialogParts::nameAfterLabel(field, text);
        m_form->addRow(l, field);
        return l;
    };

    sigla = line(n.sigla, "SiglaCertificador");
    sigla->setReadOnly(true);
    sigla->setMaximumWidth(120);
    numero = line(n.numero, "NumCertif");
    numero->setValidator(new UpperCase(numero));
    numero->setMaximumWidth(280);
    classeCertif = combo(n.classeCertif, false);
    classeProd = combo(n.classeProd, false);
    emissao = date(n.emissao);
    validade = date(n.validade);
    laboratorio = line(n.laboratorio, "LabEnsaio");
    relatorio = line(n.relatorio, "NumRelEnsaio");
    signatarios = combo(n.signatarios, true);
    ColumnFit::fit(signatarios, QStringLiteral("CERTIFIC"), QStringLiteral("Signatarios"));
    observacoes = line(n.observacoes, "Observacoes");

    row(QStringLiteral("Certificador"), sigla);
    m_lbNumero = row(QStringLiteral("Número do Certificado"), numero);
    row(n.classeCertifLabel, classeCertif);
    row(QStringLiteral("Classe de Produtos"), classeProd);
    m_lbEmissao = row(QStringLiteral("Data de Emissão"), emissao);
    row(QStringLiteral("Data de Validade"), validade);
    row(QStringLiteral("Laboratório de Ensaio"), laboratorio);
    row(QStringLiteral("Número do Relatório de Ensaio"), relatorio);
    row(QStringLiteral("Signatários"), signatarios);
    row(QStringLiteral("Observações"), observacoes);
    setTabOrder(numero, classeCertif);
    setTabOrder(classeCertif, classeProd);
    setTabOrder(classeProd, emissao);
    setTabOrder(emissao, validade);
    setTabOrder(validade, laboratorio);
    setTabOrder(laboratorio, relatorio);
    setTabOrder(relatorio, signatarios);
    setTabOrder(signatarios, observacoes);
}

void CertificateForm::fillLists(const Database &db)
{
    fill(classeCertif, CertificateStore::certificateClasses(db));
    fill(classeProd, CertificateStore::productClasses(db));
    const QString typed = signatarios->currentText();
    signatarios->clear();
    signatarios->addItems(CertificateStore::signatories(db));
    signatarios->setEditText(typed);
}

Certificate CertificateForm::read(const Certificate &base) const
{
    Certificate c = base;
    c.siglaCertificador = sigla->text().trimmed();
    c.numCertif = numero->text().trimmed();
    c.idClasseCertif = classeCertif->currentIndex() < 0 ? QString() : classeCertif->currentData().toString();
    c.idClasseProd = classeProd->currentIndex() < 0 ? QVariant() : QVariant(classeProd->currentData().toInt());
    // A stored time of day (imported rows carry one) stays while the day does.
    auto moment = [](const MaskedDateEdit *box, const QDateTime &stored) {
        return stored.isValid() && box->date() == stored.date() ? stored : box->moment();
    };
    c.dataEmissao = moment(emissao, base.dataEmissao);
    c.dataValid = moment(validade, base.dataValid);
    c.labEnsaio = laboratorio->text();
    c.numRelEnsaio = relatorio->text();
    c.signatarios = signatarios->currentText().trimmed().isEmpty() ? QString() : signatarios->currentText();
    c.observacoes = observacoes->text();
    return c;
}

void CertificateForm::show(const Certificate &row)
{
    sigla->setText(row.siglaCertificador);
    numero->setText(row.numCertif);
    // A class the certifier is no longer accredited for still shows.
    auto pick = [](QComboBox *box, const QVariant &id) {
        if (!id.isNull() && !id.toString().isEmpty() && box->findData(id) < 0)
            box->addItem(id.toString(), id);
        selectData(box, id);
    };
    pick(classeCertif, row.idClasseCertif);
    pick(classeProd, row.idClasseProd);
    emissao->setMoment(row.dataEmissao);
    validade->setMoment(row.dataValid);
    laboratorio->setText(row.labEnsaio);
    relatorio->setText(row.numRelEnsaio);
    signatarios->setEditText(row.signatarios);
    observacoes->setText(row.observacoes);
}

void CertificateForm::clearAll()
{
    show(Certificate());
}

void CertificateForm::setNumberLocked(bool locked)
{
    m_numberLocked = locked;
    numero->setEnabled(!locked);
    emissao->setEnabled(!locked);
    const QString style = locked ? QStringLiteral("color: maroon;") : QString();
    m_lbNumero->setStyleSheet(style);
    m_lbEmissao->setStyleSheet(style);
}

void CertificateForm::setClassesLocked(bool locked)
{
    classeCertif->setEnabled(!locked);
    classeProd->setEnabled(!locked);
}
