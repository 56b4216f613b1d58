#pragma once
// Whole files read and written in one call, and incompressible content.
#include <QByteArray>
#include <QString>

// Empty when the file cannot be read.
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &data);
// The same bytes for the same seed.
QByteArray randomBytes(qsizetype size, quint32 seed);
