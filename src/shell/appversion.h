#pragma once
#include <QString>

// The program version as shown in captions, the status bar and the about box.
namespace AppVersion {
inline QString text()
{
    return QStringLiteral("Versão 2.4.8");
}
inline QString number()
{
    return QStringLiteral("2.4.8");
}
}
