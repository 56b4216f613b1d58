#include "maintenance/companies/ui/tfrmselempcert.h"

#include "base/messenger.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using SelectionParts::button;
using SelectionParts::labelFor;

TFrmSelEmpCert::TFrmSelEmpCert(Database &db, Messenger &messenger, const SelectedCertificate &certificate,
                               QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_certificate(certificate)
{
    setObjectName(QStringLiteral("FrmSelEmpCert"));
    setWindowTitle(QStringLiteral("Seleciona Empresa Certificada"));
    setModal(true);
    buildUi();
    guard(m_msg, [this] {
        CbPais->addItem(QString());
        for (const SelectionSql::Entry &e : SelectionSql::countries(m_db))
            CbPais->addItem(e.name, e.code);
        run({});
    });
}

void TFrmSelEmpCert::buildUi()
{
    auto *filterBox = new QGroupBox(QStringLiteral("Filtro"), this);
    filterBox->setObjectName(QStringLiteral("GbFiltro"));
    CbPais = new QComboBox(filterBox);
    CbPais->setObjectName(QStringLiteral("CbPais"));
    CbPais->setMinimumContentsLength(20);
    EdCNPJ = new QLineEdit(filterBox);
    EdCNPJ->setObjectName(QStringLiteral("EdCNPJ"));
    EdCNPJ->setInputMask(QStringLiteral("99.999.999/9999-99;_"));
    EdNomeFantasia = new QLineEdit(filterBox);
    EdNomeFantasia->setObjectName(QStringLiteral("EdNomeFantasia"));
    EdRazaoSocial = new QLineEdit(filterBox);
    EdRazaoSocial->setObjectName(QStringLiteral("EdRazaoSocial"));

    auto *form = new QFormLayout;
    form->addRow(labelFor(filterBox, QStringLiteral("País:"), CbPais), CbPais);
    form->addRow(labelFor(filterBox, QStringLiteral("CNPJ:"), EdCNPJ), EdCNPJ);
    form->addRow(labelFor(filterBox, QStringLiteral("Nome Fantasia:"), EdNomeFantasia), EdNomeFantasia);
    form->addRow(labelFor(filterBox, QStringLiteral("Razão Social:"), EdRazaoSocial), EdRazaoSocial);
    auto *filtra = button(filterBox, QStringLiteral("BtFiltra"), QStringLiteral("Filtra"));
    auto *filterButtons = new QHBoxLayout;
    filterButtons->addStretch();
    filterButtons->addWidget(filtra);
    auto *filterLayout = new QVBoxLayout(filterBox);
    filterLayout->addLayout(form);
    filterLayout->addLayout(filterButtons);

    using Format = SelectionListModel::Format;
    GrdEmpresas = new SelectionGrid(QStringLiteral("GrdEmpresas"),
                                    {{QStringLiteral("País"), QStringLiteral("NOMEPAIS")},
                                     {QStringLiteral("CNPJ"), QStringLiteral("CGC"), Format::Cnpj},
                                     {QStringLiteral("Razão Social"), QStringLiteral("RAZSOCIALEMP")},
                                     {QStringLiteral("Nome Fantasia"), QStringLiteral("NOMFANTASIA")}},
                                    this);
    GrdEmpresas->setAccessibleName(QStringLiteral("Empresas Certificadas"));
    GrdEmpresas->setMinimumHeight(200);
    GrdEmpresas->horizontalHeader()->resizeSection(0, 120);
    GrdEmpresas->horizontalHeader()->resizeSection(1, 150);
    GrdEmpresas->horizontalHeader()->resizeSection(2, 280);

    LbQuantidade = new QLabel(this);
    LbQuantidade->setObjectName(QStringLiteral("LbQuantidade"));
    auto *countCaption = new QLabel(QStringLiteral("Empresas encontradas:"), this);
    countCaption->setObjectName(QStringLiteral("LbQuantidadeTitulo"));
    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(countCaption);
    bottom->addWidget(LbQuantidade);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBox);
    layout->addWidget(GrdEmpresas, 1);
    layout->addLayout(bottom);
    resize(720, 480);

    connect(filtra, &QPushButton::clicked, this, guarded(m_msg, [this] { BtFiltraClick(); }));
    for (QLineEdit *field : {EdCNPJ, EdNomeFantasia, EdRazaoSocial})
        SelectionParts::filterOnEnter(field, guarded(m_msg, [this] { BtFiltraClick(); }));
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(GrdEmpresas, &SelectionGrid::rowChosen, this, guarded(m_msg, [this] { BtOkClick(); }));
}

void TFrmSelEmpCert::run(const CertifiedCompanySelection::Filter &filter)
{
    try {
        GrdEmpresas->open(m_db, CertifiedCompanySelection::statement(m_certificate, filter));
    } catch (...) {
        GrdEmpresas->close();
        LbQuantidade->setText(QStringLiteral("0"));
        throw;
    }
    LbQuantidade->setText(QString::number(GrdEmpresas->list()->found()));
}

void TFrmSelEmpCert::BtFiltraClick()
{
    CertifiedCompanySelection::Filter f;
    f.country = CbPais->currentData().toString();
    for (QChar c : EdCNPJ->text())
        if (c.isDigit())
            f.cnpj.append(c);
    f.tradeName = EdNomeFantasia->text().trimmed();
    f.legalName = EdRazaoSocial->text().trimmed();
    run(f);
    CbPais->setCurrentIndex(0);
    EdCNPJ->clear();
    EdNomeFantasia->clear();
    EdRazaoSocial->clear();
}

void TFrmSelEmpCert::BtOkClick()
{
    const int row = GrdEmpresas->currentRow();
    if (row < 0) {
        m_msg.information(SelecioneEmpresa, QStringLiteral("Aviso"));
        return;
    }
    m_chosen = CertifiedCompanySelection::rowOf(*GrdEmpresas->list(), row);
    accept();
}

std::optional<CompanyKey> TFrmSelEmpCert::choose(QWidget *parent, Database &db, Messenger &messenger,
                                                 const SelectedCertificate &certificate)
{
    TFrmSelEmpCert dlg(db, messenger, certificate, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.chosen();
}
