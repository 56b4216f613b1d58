#include "maintenance/products/ui/tfrmselecionaproduto.h"

#include "base/messenger.h"
#include "maintenance/products/ui/tfrminclproduto.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"
#include "widgets/waitcursor.h"

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

TFrmSelecionaProduto::TFrmSelecionaProduto(Database &db, Messenger &messenger, const QString &userCode, bool offerNew,
                                           QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_user(userCode)
{
    setObjectName(QStringLiteral("FrmSelecionaProduto"));
    setWindowTitle(QStringLiteral("Seleciona Produto"));
    setModal(true);
    buildUi();
    BtNovo->setVisible(offerNew);
    guard(m_msg, [this] { run(ProductSelection::statement(m_filter)); });
}

void TFrmSelecionaProduto::buildUi()
{
    auto *filterBox = new QGroupBox(QStringLiteral("Filtro"), this);
    filterBox->setObjectName(QStringLiteral("GbFiltro"));
    EdMarca = new QLineEdit(filterBox);
    EdMarca->setObjectName(QStringLiteral("EdMarca"));
    EdModelo = new QLineEdit(filterBox);
    EdModelo->setObjectName(QStringLiteral("EdModelo"));
    EdEANUPC = new QLineEdit(filterBox);
    EdEANUPC->setObjectName(QStringLiteral("EdEANUPC"));
    EdEANUPC->setMaxLength(128);
    CbImportado = new QComboBox(filterBox);
    CbImportado->setObjectName(QStringLiteral("CbImportado"));
    CbImportado->addItems({QString(), QStringLiteral("Sim"), QStringLiteral("Não")});

    auto *form = new QFormLayout;
    form->addRow(labelFor(filterBox, QStringLiteral("Marca:"), EdMarca), EdMarca);
    form->addRow(labelFor(filterBox, QStringLiteral("Modelo:"), EdModelo), EdModelo);
    form->addRow(labelFor(filterBox, QStringLiteral("EAN/UPC:"), EdEANUPC), EdEANUPC);
    form->addRow(labelFor(filterBox, QStringLiteral("Importado:"), CbImportado), CbImportado);
    auto *filtra = button(filterBox, QStringLiteral("BtFiltra"), QStringLiteral("Filtra"));
    auto *filterButtons = new QHBoxLayout;
    filterButtons->addStretch();
    filterButtons->addWidget(filtra);
    auto *filterLayout = new QVBoxLayout(filterBox);
    filterLayout->addLayout(form);
    filterLayout->addLayout(filterButtons);

    using Format = SelectionListModel::Format;
    GrdProdutos = new SelectionGrid(QStringLiteral("GrdProdutos"),
                                    {{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
                                     {QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
                                     {QStringLiteral("Importado?"), QStringLiteral("Importado"), Format::YesNo},
                                     {QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")}},
                                    this);
    GrdProdutos->setAccessibleName(QStringLiteral("Produtos"));
    SpreadsheetExport::attach(GrdProdutos, m_msg, QStringLiteral("produtos"));
    GrdProdutos->setMinimumHeight(240);
    GrdProdutos->horizontalHeader()->resizeSection(0, 200);
    GrdProdutos->horizontalHeader()->resizeSection(1, 240);
    GrdProdutos->horizontalHeader()->resizeSection(2, 90);

    LbQuantidade = new QLabel(this);
    LbQuantidade->setObjectName(QStringLiteral("LbQuantidade"));
    auto *countCaption = new QLabel(QStringLiteral("Produtos encontrados:"), this);
    countCaption->setObjectName(QStringLiteral("LbQuantidadeTitulo"));
    BtNovo = button(this, QStringLiteral("BtNovo"), QStringLiteral("Novo..."));
    auto *ok = button(this, QStringLiteral("BtOk"), QStringLiteral("Ok"));
    ok->setDefault(true);
    auto *cancel = button(this, QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(countCaption);
    bottom->addWidget(LbQuantidade);
    bottom->addStretch();
    bottom->addWidget(BtNovo);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBox);
    layout->addWidget(GrdProdutos, 1);
    layout->addLayout(bottom);
    resize(760, 540);

    connect(filtra, &QPushButton::clicked, this, guarded(m_msg, [this] { BtFiltraClick(); }));
    for (QLineEdit *field : {EdMarca, EdModelo, EdEANUPC})
        SelectionParts::filterOnEnter(field, guarded(m_msg, [this] { BtFiltraClick(); }));
    connect(BtNovo, &QPushButton::clicked, this, guarded(m_msg, [this] { BtNovoClick(); }));
    connect(ok, &QPushButton::clicked, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(GrdProdutos, &SelectionGrid::rowChosen, this, guarded(m_msg, [this] { BtOkClick(); }));
    connect(GrdProdutos, &SelectionGrid::titleClicked, this,
            [this](int column) { guard(m_msg, [&] { GridTitleClick(column); }); });
}

void TFrmSelecionaProduto::run(const SelectionSql::Statement &s)
{
    WaitCursor wait;
    try {
        GrdProdutos->open(m_db, s);
    } catch (...) {
        GrdProdutos->close();
        LbQuantidade->setText(QStringLiteral("0"));
        throw;
    }
    LbQuantidade->setText(QString::number(GrdProdutos->list()->found()));
}

void TFrmSelecionaProduto::BtFiltraClick()
{
    ProductSelection::Filter f;
    f.brand = EdMarca->text().trimmed();
    f.model = EdModelo->text().trimmed();
    f.eanUpc = EdEANUPC->text().trimmed();
    const int origin = CbImportado->currentIndex();
    using Origin = ProductSelection::Origin;
    f.origin = origin == 1 ? Origin::Imported : origin == 2 ? Origin::National : Origin::Any;
    m_filter = f;
    run(ProductSelection::statement(m_filter));
    EdMarca->clear();
    EdModelo->clear();
    EdEANUPC->clear();
    CbImportado->setCurrentIndex(0);
}

void TFrmSelecionaProduto::GridTitleClick(int column)
{
    using Order = ProductSelection::Order;
    static const Order orders[] = {Order::Brand, Order::Model, Order::Imported, Order::EanUpc};
    if (column >= 0 && column < int(std::size(orders)))
        run(ProductSelection::statement(m_filter, orders[column]));
}

void TFrmSelecionaProduto::BtOkClick()
{
    const int row = GrdProdutos->currentRow();
    if (row < 0)
        return;
    const SelectedProduct p = ProductSelection::rowOf(*GrdProdutos->list(), row);
    if (p.marcaProd.isEmpty())
        return;
    m_chosen = p;
    accept();
}

void TFrmSelecionaProduto::BtNovoClick()
{
    const std::optional<SelectedProduct> product = TFrmInclProduto::include(this, m_db, m_msg, m_user);
    if (!product) {
        m_msg.plain(NenhumNovo, QStringLiteral("Aviso"));
        // A refused inclusion rolls back, which ends the reading of the list.
        run(ProductSelection::statement(m_filter));
        return;
    }
    run(ProductSelection::only(*product));
    BtOkClick();
}

std::optional<SelectedProduct> TFrmSelecionaProduto::choose(QWidget *parent, Database &db, Messenger &messenger,
                                                            const QString &userCode, bool offerNew)
{
    TFrmSelecionaProduto dlg(db, messenger, userCode, offerNew, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.chosen();
}
