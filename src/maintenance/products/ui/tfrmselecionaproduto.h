#pragma once
#include "maintenance/products/productselection.h"
#include "maintenance/selectionresults.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionGrid;

// "Seleciona Produto": finds a product of PRODUTO; "Novo..." registers one
// on the spot and chooses it.
class TFrmSelecionaProduto : public QDialog
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

    void BtFiltraClick();
    void BtNovoClick();
    void BtOkClick();
    void GridTitleClick(int column);

private:
    void buildUi();
    void run(const SelectionSql::Statement &statement);

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    std::optional<SelectedProduct> m_chosen;
    ProductSelection::Filter m_filter; // of the list shown

    QLineEdit *EdMarca = nullptr;
    QLineEdit *EdModelo = nullptr;
    QLineEdit *EdEANUPC = nullptr;
    QComboBox *CbImportado = nullptr;
    QLabel *LbQuantidade = nullptr;
    QPushButton *BtNovo = nullptr;
    SelectionGrid *GrdProdutos = nullptr;
};
