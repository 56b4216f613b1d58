#pragma once
#include <QStringList>

// The folders a run makes, so that a failure takes away exactly those (and
// only while they are still empty).
class MadeFolders
{
public:
    // Makes path and whatever of its parents is missing. Raises AppError.
    void make(const QString &path);
    void undo();

private:
    QStringList m_made; // deepest first
};
