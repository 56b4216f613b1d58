#include "maintenance/products/ui/tfrminclproduto.h"

#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using SelectionParts::button;
using SelectionParts::labelFor;

TFrmInclProduto::TFrmInclProduto(Database &db, Messenger &messenger, const QString &userCode, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_user(userCode)
{
    setObjectName(QStringLiteral("FrmInclProduto"));
    setWindowTitle(QStringLiteral("Inclusao de Produto"));
    setModal(true);

    auto *brandCount = new QLabel(this);
    brandCount->setObjectName(QStringLiteral("LbTamMarca"));
    auto *modelCount = new QLabel(this);
    modelCount->setObjectName(QStringLiteral("LbTamModelo"));
    auto *descrCount = new QLabel(this);
    descrCount->setObjectName(QStringLiteral("LbTamDescricao"));
    brandField = field(QStringLiteral("EdMarca"), QStringLiteral("MarcaProd"), brandCount, ProductInclusion::MaxText);
    modelField = field(QStringLiteral("EdModelo"), QStringLiteral("ModeloProd"), modelCount, ProductInclusion::MaxText);
    eanUpcField = field(QStringLiteral("EdEANUPC"), QStringLiteral("CodEANUPC"), nullptr);
    descriptionField = field(QStringLiteral("EdDescricao"), QStringLiteral("DescrProd"), descrCount,
                             ProductInclusion::MaxText);
    importedBox = new QCheckBox(QStringLiteral("Produto Importado ?"), this);
    importedBox->setObjectName(QStringLiteral("CkImportado"));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 380);
    const int countWidth = fontMetrics().horizontalAdvance(QStringLiteral("(254)")) + 6;
    grid->setColumnMinimumWidth(2, countWidth);
    grid->addWidget(labelFor(this, QStringLiteral("Marca:"), brandField), 0, 0);
    grid->addWidget(brandField, 0, 1);
    grid->addWidget(brandCount, 0, 2);
    grid->addWidget(labelFor(this, QStringLiteral("Modelo:"), modelField), 1, 0);
    grid->addWidget(modelField, 1, 1);
    grid->addWidget(modelCount, 1, 2);
    grid->addWidget(labelFor(this, QStringLiteral("Código EAN/UPC:"), eanUpcField), 2, 0);
    grid->addWidget(eanUpcField, 2, 1);
    grid->addWidget(labelFor(this, QStringLiteral("Descrição:"), descriptionField), 3, 0);
    grid->addWidget(descriptionField, 3, 1);
    grid->addWidget(descrCount, 3, 2);
    grid->addWidget(importedBox, 4, 1);

    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("OK"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    QHBoxLayout *buttons = SelectionParts::spreadRow({}, {ok, cancel});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { includeTyped(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit *TFrmInclProduto::field(const QString &name, const QString &column, QLabel *counter, int rule)
{
    return SelectionParts::countedField(this, name, column, counter, rule);
}

void TFrmInclProduto::includeTyped()
{
    NewProduct p;
    p.marcaProd = brandField->text();
    p.modeloProd = modelField->text();
    p.codEanUpc = eanUpcField->text();
    p.descrProd = descriptionField->text();
    p.imported = importedBox->isChecked();
    m_included = ProductInclusion::save(m_db, m_msg, p, m_user);
    if (m_included)
        accept();
}

std::optional<SelectedProduct> TFrmInclProduto::include(QWidget *parent, Database &db, Messenger &messenger,
                                                        const QString &userCode)
{
    TFrmInclProduto dlg(db, messenger, userCode, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.included();
}
