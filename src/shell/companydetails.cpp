#include "shell/companydetails.h"
#include "db/database.h"

#include <QSqlRecord>

CompanyDetails CompanyDetails::load(Database &db, const QString &country, const QString &id)
{
    CompanyDetails d;
    QSqlQuery q = db.exec(QStringLiteral("select * from empresa where codigoPais = ? and idEmpresa = ?"),
                          {country, id});
    if (!q.next())
        return d;
    const QSqlRecord r = q.record();
    auto text = [&r](const char *column) {
        const int i = r.indexOf(QLatin1String(column));
        return i < 0 || r.isNull(i) ? QString() : r.value(i).toString();
    };
    d.found = true;
    d.codigoPais = text("CodigoPais");
    d.idEmpresa = text("IdEmpresa");
    d.tipoPessoa = text("TipoPessoa").trimmed();
    d.cgc = text("CGC");
    d.cpf = text("CPF");
    d.razSocialEmp = text("RazSocialEmp");
    d.nomFantasia = text("NomFantasia");
    d.nomPessoaFisica = text("NomPessoaFisica");
    d.endLogr = text("EndLogr");
    d.endNum = text("EndNum");
    d.endCompl = text("EndCompl");
    d.endCep = text("EndCEP");
    d.endBairro = text("EndBairro");
    d.endCidade = text("EndCidade");
    d.siglaUf = text("SiglaUF");
    d.telefone = text("Telefone");
    d.fax = text("Fax");
    d.email = text("Email");
    return d;
}
