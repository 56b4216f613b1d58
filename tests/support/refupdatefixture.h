#pragma once
#include "support/testhome.h"

#include "db/database.h"
#include "shell/configlocal.h"

#include <QTemporaryDir>
#include <memory>

// A program folder whose certifier "OCT" receives reference packages in
// recep(); origem() is a folder to build packages in.
struct RefUpdateFixture
{
    explicit RefUpdateFixture(const QString &connection);
    ~RefUpdateFixture();

    std::unique_ptr<TestHome> home = std::make_unique<TestHome>(false);
    std::unique_ptr<Database> db;
    QTemporaryDir files;

    QString recep() const { return files.filePath(QStringLiteral("recep")); }
    QString origem() const { return files.filePath(QStringLiteral("origem")); }
    ConfigLocal config() const { return *ConfigLocalStore::read(*db); }
};
