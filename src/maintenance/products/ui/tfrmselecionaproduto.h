#pragma once
#include "maintenance/products/productselection.h"
#include "maintenance/selectionresults.h"
#include "maintenance/ui/selectiondialog.h"

#include <optional>

class QComboBox;
class QLineEdit;

// "Seleciona Produto": finds a product of PRODUTO; "Novo..." registers one
// on the spot and chooses it.
class TFrmSelecionaProduto : public SelectionDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; the chosen product, or nothing when cancelled.
    // `offerNew` false hides "Novo..."; `userCode` goes into UsuResp of a
    // product registered with "Novo...".
    static std::optional<SelectedProduct> choose(QWidget *parent, Database &db, Messenger &messenger,
                                                 const QString &userCode, bool offerNew = true);
    static inline const QString NenhumNovo = QStringLiteral("Nenhum Produto Novo Incluido");

    TFrmSelecionaProduto(Database &db, Messenger &messenger, const QString &userCode, bool offerNew,
                         QWidget *parent = nullptr);

    std::optional<SelectedProduct> chosen() const { return m_chosen; }

    void applyFilter() override;
    void includeNew() override;
    void chooseCurrent() override;
    void orderBy(int column) override;

private:
    QString m_user;
    std::optional<SelectedProduct> m_chosen;
    ProductSelection::Filter m_filter; // of the list shown

    QLineEdit *m_brandField = nullptr;
    QLineEdit *m_modelField = nullptr;
    QLineEdit *m_eanUpcField = nullptr;
    QComboBox *m_originList = nullptr;
};
