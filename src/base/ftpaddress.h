#pragma once
#include <QString>

// An FTP address as configured ("host", "host/folder", "host:port/folder"),
// entered without a scheme.
struct FtpAddress
{
    QString host;
    QString port; // always an integer text; "21" unless given
    QString path; // never empty; "/" for the login folder

    int portNumber() const { return port.toInt(); }

    static FtpAddress split(const QString &address);
};
