#pragma once
#include <QString>

// The seven rights of a user, one per group of functions of the shell.
struct Rights
{
    bool configOCC = false; // AcConfigOCC
    bool configDir = false; // AcConfigDir
    bool cadastraUsu = false; // AcCadastraUsu
    bool manBase = false; // AcManBase
    bool contRemessas = false; // AcContRemessas
    bool atualTabAux = false; // AcAtualTabAux
    bool aprovCertific = false; // AcAprovCertific

    bool operator==(const Rights &) const = default;
};

// Who is logged in, held by the shell for the whole run.
struct LoginState
{
    QString userCode; // SiglaUsu, at most 10 characters; goes into UsuResp
    QString userName; // NomeUsu, for report headers
    QString certifier; // SiglaCertificador of the user's own row
    Rights rights;

    bool isLoggedIn() const { return !userCode.isEmpty(); }
    // Text of the shell's first status panel.
    QString statusText() const
    {
        return QStringLiteral("USUÁRIO: ") + userCode + QStringLiteral("  |  ORGANISMO: ") + certifier;
    }
};

// "Sim"/"Não", the display form of every boolean.
inline QString yesNo(bool value)
{
    return value ? QStringLiteral("Sim") : QStringLiteral("Não");
}
