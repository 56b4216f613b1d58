#pragma once
#include "db/lazyquerymodel.h"

class Database;
struct CertificateFilter;

// The grid of the certificate report window: "Número", "Classe do
// Certificado", "Classe de Produtos", "Emissão", "Validade". Rows are fetched
// as the view scrolls; dates shown as dd/mm/yyyy.
class CertificateSelectionModel : public LazyQueryModel
{
    Q_OBJECT
public:
    explicit CertificateSelectionModel(QObject *parent = nullptr);

    // Runs the selection; raises DbError (the model is left empty then).
    void select(Database &db, const CertificateFilter &filter);
    void reset();

    // The five columns keep their titles also while the grid is empty.
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
