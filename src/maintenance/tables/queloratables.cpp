#include "maintenance/tables/queloratables.h"

namespace QueloraTables {

const QList<TabDefinition> &tabs()
{
    static const QList<TabDefinition> all{
        {Tab::ClasseProdutos,
         QStringLiteral("Classe de Produtos"),
         QStringLiteral("DBGridClasseP"),
         {QStringLiteral("Identificação"), QStringLiteral("Classe de Produtos"), QStringLiteral("Classe Superior"),
          QStringLiteral("Unid. Medida")},
         {QStringLiteral("IdClasseProd"), QStringLiteral("NomClasseProd"), QStringLiteral("NomClasseSup"),
          QStringLiteral("UnMedida")},
         // The superior class is shown by its name.
         QStringLiteral("SELECT P.IdClasseProd AS IdClasseProd, P.NomClasseProd AS NomClasseProd, "
                        "(SELECT substr(S.NomClasseProd, 1, 40) FROM Classe_P S WHERE S.IdClasseProd = P.ClasseSup) "
                        "AS NomClasseSup, P.UnMedida AS UnMedida "
                        "FROM Classe_P P, Config_Local C, Credenciamento CC "
                        "WHERE P.IdClasseProd = CC.IdClasseProd AND C.SiglaCertificador = CC.SiglaCertificador"),
         QStringLiteral("IdClasseProd")},
        {Tab::ClasseServicos,
         QStringLiteral("Classe de Serviços"),
         QStringLiteral("DBGridClasseS"),
         {QStringLiteral("Identificação"), QStringLiteral("Classe de Serviços"), QStringLiteral("Classe Superior"),
          QStringLiteral("Classe de Produtos")},
         {QStringLiteral("IdClasseServ"), QStringLiteral("NomClasseServ"), QStringLiteral("NomClasseSup"),
          QStringLiteral("NomClasseProd")},
         QStringLiteral("SELECT a.IdClasseServ AS IdClasseServ, a.NomClasseServ AS NomClasseServ, "
                        "(SELECT S.NomClasseServ FROM Classe_S S WHERE S.IdClasseServ = a.ClasseSuperiorServ) "
                        "AS NomClasseSup, P.NomClasseProd AS NomClasseProd "
                        "FROM Classe_S a, Classe_P P, Config_Local C, Credenciamento_Serv CC "
                        "WHERE a.IdClasseProd = P.IdClasseProd AND a.IdClasseServ = CC.IdClasseServ "
                        "AND C.SiglaCertificador = CC.SiglaCertificador"),
         QStringLiteral("IdClasseServ")},
        {Tab::Pais,
         QStringLiteral("País"),
         QStringLiteral("DBGridPais"),
         {QStringLiteral("Código"), QStringLiteral("País")},
         {QStringLiteral("CodigoPais"), QStringLiteral("NomePais")},
         QStringLiteral("SELECT CodigoPais, NomePais FROM Pais"),
         QString()},
        {Tab::PapelEmpresa,
         QStringLiteral("Papel da Empresa"),
         QStringLiteral("DBGridPapelEmp"),
         {QStringLiteral("Papel da Empresa na Certificação")},
         {QStringLiteral("PapelEmp")},
         QStringLiteral("SELECT IdPapelEmp, PapelEmp FROM Papel_emp"),
         QString()},
        {Tab::ClasseCertificado,
         QStringLiteral("Classe de Certificado"),
         QStringLiteral("DBGridClasseC"),
         {QStringLiteral("Identificação"), QStringLiteral("Classes de Certificados"),
          QStringLiteral("Aspecto Certificado")},
         {QStringLiteral("IdClasseCertif"), QStringLiteral("NomClasseCertif"), QStringLiteral("AspectoProduto")},
         // Classes the configured certifier holds through a product or a
         // service accreditation.
         QStringLiteral("SELECT DISTINCT CL.IdClasseCertif AS IdClasseCertif, CL.NomClasseCertif AS NomClasseCertif, "
                        "CL.AspectoProduto AS AspectoProduto "
                        "FROM Classe_C CL, Config_Local C "
                        "WHERE CL.IdClasseCertif IN (SELECT CC.IdClasseCertif FROM Credenciamento CC "
                        "WHERE CC.SiglaCertificador = C.SiglaCertificador UNION "
                        "SELECT CS.IdClasseCertif FROM Credenciamento_Serv CS "
                        "WHERE CS.SiglaCertificador = C.SiglaCertificador)"),
         QString()},
    };
    return all;
}

const TabDefinition &definition(Tab tab)
{
    for (const TabDefinition &d : tabs())
        if (d.tab == tab)
            return d;
    return tabs().first();
}

Sorting Sorting::clicked(int c) const
{
    if (c == column)
        return {c, !descending};
    return {c, false};
}

SelectionSql::Statement statement(Tab tab, const Sorting &sorting)
{
    const TabDefinition &d = definition(tab);
    SelectionSql::Statement s;
    s.sql = d.sql;
    if (sorting.column >= 0 && sorting.column < d.fields.size())
        // Empty cells first going up, last going down, on either engine.
        s.orderBy = QStringLiteral(" Order by ") + d.fields.at(sorting.column) +
            (sorting.descending ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" NULLS FIRST"));
    else if (!d.baseOrder.isEmpty())
        s.orderBy = QStringLiteral(" Order By ") + d.baseOrder;
    return s;
}

}
