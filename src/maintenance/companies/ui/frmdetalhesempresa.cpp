#include "maintenance/companies/ui/frmdetalhesempresa.h"

#include "base/taxid.h"
#include "maintenance/ui/selectionparts.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFrmDetalhesEmpresa::TFrmDetalhesEmpresa(const CompanyDetails &c, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDetalhesEmpresa"));
    setWindowTitle(QStringLiteral("Detalhes da Empresa"));
    setModal(true);

    const bool person = c.isNaturalPerson();
    auto *grid = new QGridLayout;
    QLabel *idLabel = nullptr;
    QLabel *nameLabel = nullptr;
    addBox(grid, 0, 0, QStringLiteral("EdPais"), QStringLiteral("País"), c.codigoPais);
    addBox(grid, 0, 1, QStringLiteral("EdCNPJ"), person ? QStringLiteral("CPF") : QStringLiteral("CNPJ"),
           person ? c.cpf : TaxId::cnpjMask(c.cgc, true), &idLabel);
    addBox(grid, 2, 0, QStringLiteral("EdNomeFantasia"), QStringLiteral("Nome Fantasia"), c.nomFantasia);
    addBox(grid, 2, 1, QStringLiteral("EdRazaoSocial"),
           person ? QStringLiteral("Nome Pessoa Física") : QStringLiteral("Razão Social"),
           person ? c.nomPessoaFisica : c.razSocialEmp, &nameLabel);
    addBox(grid, 4, 0, QStringLiteral("EdEndereco"), QStringLiteral("Endereço"), c.endLogr);
    addBox(grid, 4, 1, QStringLiteral("EdNumero"), QStringLiteral("Número"), c.endNum);
    addBox(grid, 6, 0, QStringLiteral("EdComplemento"), QStringLiteral("Complemento"), c.endCompl);
    addBox(grid, 6, 1, QStringLiteral("EdCEP"), QStringLiteral("CEP"), c.endCep);
    addBox(grid, 8, 0, QStringLiteral("EdBairro"), QStringLiteral("Bairro"), c.endBairro);
    addBox(grid, 8, 1, QStringLiteral("EdCidade"), QStringLiteral("Cidade"), c.endCidade);
    addBox(grid, 10, 0, QStringLiteral("EdUF"), QStringLiteral("UF"), c.siglaUf);
    addBox(grid, 10, 1, QStringLiteral("EdTelefone"), QStringLiteral("Telefone"), c.telefone);
    addBox(grid, 12, 0, QStringLiteral("EdFax"), QStringLiteral("Fax"), c.fax);
    addBox(grid, 12, 1, QStringLiteral("EdEmail"), QStringLiteral("Email"), c.email);
    idLabel->setObjectName(QStringLiteral("LbCNPJ"));
    nameLabel->setObjectName(QStringLiteral("LbRazaoSocial"));

    auto *kind = new QGroupBox(QStringLiteral("Tipo de Pessoa"), this);
    kind->setObjectName(QStringLiteral("RgTipoPessoa"));
    auto *fisica = new QRadioButton(QStringLiteral("Física"), kind);
    fisica->setObjectName(QStringLiteral("RbFisica"));
    auto *juridica = new QRadioButton(QStringLiteral("Jurídica"), kind);
    juridica->setObjectName(QStringLiteral("RbJuridica"));
    (person ? fisica : juridica)->setChecked(true);
    // Shown, not edited: the buttons ignore the mouse and the keyboard.
    for (QRadioButton *b : {fisica, juridica}) {
        b->setAttribute(Qt::WA_TransparentForMouseEvents);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto *kindLayout = new QHBoxLayout(kind);
    kindLayout->addWidget(fisica);
    kindLayout->addWidget(juridica);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QHBoxLayout *buttons = SelectionParts::spreadRow({}, {ok});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(kind);
    layout->addLayout(buttons);
}

QLineEdit *TFrmDetalhesEmpresa::addBox(QGridLayout *grid, int row, int col, const QString &name, const QString &label,
                                       const QString &value, QLabel **labelOut)
{
    auto *lb = new QLabel(label, this);
    lb->setObjectName(QStringLiteral("Lb") + name.mid(2));
    auto *ed = new QLineEdit(value, this);
    ed->setObjectName(name);
    ed->setReadOnly(true);
    ed->setCursorPosition(0);
    ed->setMinimumWidth(220);
    lb->setBuddy(ed);
    grid->addWidget(lb, row, col);
    grid->addWidget(ed, row + 1, col);
    if (labelOut)
        *labelOut = lb;
    return ed;
}

void TFrmDetalhesEmpresa::showCompany(Database &db, const QString &country, const QString &id, QWidget *parent)
{
    TFrmDetalhesEmpresa dlg(CompanyDetails::load(db, country, id), parent);
    dlg.exec();
}
