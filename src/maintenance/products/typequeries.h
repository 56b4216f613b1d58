#pragma once
#include "maintenance/products/certificateitem.h"
#include "maintenance/selectionsql.h"

#include <QDate>
#include <optional>

class Database;
class QSqlQuery;

// The queries of the "Produtos por Tipo" tab: the certificate's types for
// the grid, the one type being shown, its linked company's name, the
// duplicate test and the entry-date rule with the tab's own messages.
class TypeQueries
{
public:
    explicit TypeQueries(const Database &db)
        : m_db(db)
    { }

    static inline const QString ProdutorEmBranco = QStringLiteral("Favor selecionar o produtor.");
    static inline const QString EmpresaEmBranco = QStringLiteral("Favor selecionar a empresa vinculada.");
    static inline const QString EntradaEmBranco = QStringLiteral(
        "Favor informar a data de entrada do produto no certificado.");
    static inline const QString ErroSalvar = QStringLiteral(
        "Erro ao Salvar a aplicação!!! As alterações não foram efetuadas.");
    static inline const QString ErroExcluir = QStringLiteral("Erro ao excluir o produto.");

    // The grid (NUMCERTIF, MARCAPROD, MODELOPROD, IMPORTADO,
    // CODEANUPC, DESCRPROD, DthEntCertif) by brand, model, imported.
    static SelectionSql::Statement listStatement(const CertificateKey &certificate);
    // The one type of a product in the certificate.
    std::optional<CertificateItem> find(const CertificateKey &certificate, const QString &marca, const QString &modelo,
                                        int importado) const;
    // The linked company: RazSocialEmp ("-" when it is null), or the
    // person's name of a natural person; empty for no company.
    QString linkedCompanyName(const QString &codigoPais, const QString &idEmpresa) const;
    // The type already exists in the certificate (letter case ignored).
    bool exists(const CertificateItem &type) const;
    // "O Produto " + brand + " " + model + " já existe."
    static QString duplicateMessage(const CertificateItem &type);
    // Empty when the entry date passes; the message otherwise.
    static QString entryDateProblem(const QString &text, const QDateTime &issue, const QDate &today);

private:
    // The TIPO row of the product in the certificate, positioned before it.
    QSqlQuery typeRow(const CertificateKey &certificate, const QString &marca, const QString &modelo,
                      int importado) const;

    const Database &m_db;
};
