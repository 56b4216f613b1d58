#include "maintenance/products/ui/producttab.h"

#include "maintenance/products/ui/tfrmselecionaproduto.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QValidator>

namespace {

class NumberValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        const int before = int(input.left(pos).count(QLatin1Char(' ')));
        input.remove(QLatin1Char(' '));
        input = input.toUpper();
        pos = qMax(0, pos - before);
        return Acceptable;
    }
};

// Filled again each time it drops down: a company linked meanwhile shows.
class CompanyList : public QComboBox
{
public:
    CompanyList(QWidget *parent, std::function<void()> fill)
        : QComboBox(parent),
          m_fill(std::move(fill))
    { }
    void showPopup() override
    {
        m_fill();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_fill;
};

}

QValidator *ProductTab::numberValidator(QObject *parent)
{
    return new NumberValidator(parent);
}

ProductTab::ProductTab(MaintenanceContext &context, ItemKind kind, const Names &names, const QString &companyName,
                       const QList<SelectionListModel::Column> &columns, QWidget *parent)
    : ItemTab(context, kind, names, columns, parent)
{
    m_marcaModelo = shownBox(QStringLiteral("EdMarcaModelo") + names.tab);
    m_eanUpc = shownBox(QStringLiteral("EdEANUPC") + names.tab);
    m_company = new QWidget(detailGroup());
    m_company->setObjectName(companyName);
    auto *row = new QHBoxLayout(m_company);
    row->setContentsMargins(0, 0, 0, 0);
    m_companyList = new CompanyList(m_company, [this] { fillCompanies(); });
    m_companyList->setObjectName(companyName + QStringLiteral("Lista"));
    m_companyList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_companyList->setAccessibleName(QStringLiteral("Empresa Vinculada"));
    m_companyName = shownBox(companyName + QStringLiteral("Nome"));
    m_companyName->setAccessibleName(QStringLiteral("Empresa Vinculada"));
    row->addWidget(m_companyList);
    row->addWidget(m_companyName);
    m_companyList->hide();
    m_company->setFocusProxy(m_companyList);
    m_chooser = [this]() { return TFrmSelecionaProduto::choose(this, m_ctx.db, m_ctx.messenger, m_ctx.userCode); };
}

void ProductTab::showItem(const CertificateItem &item)
{
    m_marcaModelo->setText(item.hasProduct() ? item.marcaProd + QStringLiteral(" / ") + item.modeloProd : QString());
    m_eanUpc->setText(item.codEanUpc);
    m_companyName->setText(item.companyName);
}

void ProductTab::readItem(CertificateItem &item) const
{
    if (m_companyList->isHidden())
        return;
    const int index = m_companyList->currentIndex();
    if (index < 0 || index >= m_companies.size()) {
        // An edit keeps its company unless another is chosen; an inclusion
        // has none until one is.
        if (isInclusion())
            item.codigoPais.clear(), item.idEmpresa.clear(), item.companyName.clear();
        return;
    }
    const LinkedCompany &c = m_companies.at(index);
    item.codigoPais = c.codigoPais;
    item.idEmpresa = c.idEmpresa;
    item.companyName = c.name;
}

bool ProductTab::select(CertificateItem &draft)
{
    const auto product = m_chooser ? m_chooser() : std::nullopt;
    if (!product)
        return false;
    draft.marcaProd = product->marcaProd;
    draft.modeloProd = product->modeloProd;
    draft.importado = product->importado;
    draft.codEanUpc = product->codEanUpc;
    draft.siglaCertificador = open().key.sigla;
    draft.numCertif = open().key.numero;
    return true;
}

void ProductTab::fillCompanies()
{
    // The entry stays on the company it names, whatever the list brings.
    CertificateItem chosen = draft();
    readItem(chosen);
    const QSignalBlocker block(m_companyList);
    m_companies = ItemStore::linkedCompanies(m_ctx.db, open().key);
    m_companyList->clear();
    int selected = -1;
    for (int i = 0; i < m_companies.size(); ++i) {
        const LinkedCompany &c = m_companies.at(i);
        m_companyList->addItem(c.name);
        if (c.codigoPais.compare(chosen.codigoPais, Qt::CaseInsensitive) == 0 &&
            c.idEmpresa.compare(chosen.idEmpresa, Qt::CaseInsensitive) == 0)
            selected = i;
    }
    m_companyList->setCurrentIndex(selected);
}

void ProductTab::editStarted(bool inclusion)
{
    if (inclusion) {
        draft().codigoPais.clear();
        draft().idEmpresa.clear();
    }
    m_companyName->hide();
    m_companyList->show();
    fillCompanies();
}

void ProductTab::editEnded()
{
    m_companyList->hide();
    m_companyList->clear();
    m_companies.clear();
    m_companyName->show();
}
