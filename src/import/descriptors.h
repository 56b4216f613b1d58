#pragma once
#include "import/datastruct.h"

// The record descriptors: one per section of the import file, plus the
// history control row written by the import run. Each defines its fields
// in file order on construction.

class TCertificStruct : public TDataStruct
{
public:
    TCertificStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TCertificStruct"); }

protected:
    void DefineFields() override;
};

class TStatusCStruct : public TDataStruct
{
public:
    TStatusCStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusCStruct"); }

protected:
    void DefineFields() override;
};

class TEmpresaStruct : public TDataStruct
{
public:
    TEmpresaStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TEmpresaStruct"); }
    void Validate() override;

protected:
    void DefineFields() override;
};

class TEmpCertStruct : public TDataStruct
{
public:
    TEmpCertStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TEmpCertStruct"); }

protected:
    void DefineFields() override;
};

class TEventoEmpStruct : public TDataStruct
{
public:
    TEventoEmpStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TEventoEmpStruct"); }

protected:
    void DefineFields() override;
};

class TDocNormCertProdutoStruct : public TDataStruct
{
public:
    TDocNormCertProdutoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TDocNormCertProdutoStruct"); }

protected:
    void DefineFields() override;
};

class TStatusDNCPStruct : public TDataStruct
{
public:
    TStatusDNCPStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusDNCPStruct"); }

protected:
    void DefineFields() override;
};

class TDocNormCertServicoStruct : public TDataStruct
{
public:
    TDocNormCertServicoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TDocNormCertServicoStruct"); }

protected:
    void DefineFields() override;
};

class TStatusDNCSStruct : public TDataStruct
{
public:
    TStatusDNCSStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusDNCSStruct"); }

protected:
    void DefineFields() override;
};

class TProdutoStruct : public TDataStruct
{
public:
    TProdutoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TProdutoStruct"); }

protected:
    void DefineFields() override;
};

class TTipoStruct : public TDataStruct
{
public:
    TTipoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TTipoStruct"); }

protected:
    void DefineFields() override;
};

class TStatusTStruct : public TDataStruct
{
public:
    TStatusTStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusTStruct"); }

protected:
    void DefineFields() override;
};

class TDocNormTipoStruct : public TDataStruct
{
public:
    TDocNormTipoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TDocNormTipoStruct"); }

protected:
    void DefineFields() override;
};

class TStatusDNTStruct : public TDataStruct
{
public:
    TStatusDNTStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusDNTStruct"); }

protected:
    void DefineFields() override;
};

class TUnidadeStruct : public TDataStruct
{
public:
    TUnidadeStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TUnidadeStruct"); }

protected:
    void DefineFields() override;
};

class TStatusUStruct : public TDataStruct
{
public:
    TStatusUStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusUStruct"); }

protected:
    void DefineFields() override;
};

class TDocNormUnidadeStruct : public TDataStruct
{
public:
    TDocNormUnidadeStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TDocNormUnidadeStruct"); }

protected:
    void DefineFields() override;
};

class TStatusDNUStruct : public TDataStruct
{
public:
    TStatusDNUStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusDNUStruct"); }

protected:
    void DefineFields() override;
};

class TLoteStruct : public TDataStruct
{
public:
    TLoteStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TLoteStruct"); }

protected:
    void DefineFields() override;
};

class TStatusLStruct : public TDataStruct
{
public:
    TStatusLStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusLStruct"); }

protected:
    void DefineFields() override;
};

class TDocNormLoteStruct : public TDataStruct
{
public:
    TDocNormLoteStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TDocNormLoteStruct"); }

protected:
    void DefineFields() override;
};

class TStatusDNLStruct : public TDataStruct
{
public:
    TStatusDNLStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusDNLStruct"); }

protected:
    void DefineFields() override;
};

class TServicoStruct : public TDataStruct
{
public:
    TServicoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TServicoStruct"); }

protected:
    void DefineFields() override;
};

class TStatusSStruct : public TDataStruct
{
public:
    TStatusSStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusSStruct"); }

protected:
    void DefineFields() override;
};

class TDocNormServicoStruct : public TDataStruct
{
public:
    TDocNormServicoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TDocNormServicoStruct"); }

protected:
    void DefineFields() override;
};

class TStatusDNSStruct : public TDataStruct
{
public:
    TStatusDNSStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TStatusDNSStruct"); }

protected:
    void DefineFields() override;
};

class TCtr_HistoricoStruct : public TDataStruct
{
public:
    TCtr_HistoricoStruct(const QString &certifierAcronym, const QString &userCode);
    QString className() const override { return QStringLiteral("TCtr_HistoricoStruct"); }

protected:
    void DefineFields() override;
};
