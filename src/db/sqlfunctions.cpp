#include "db/sqlfunctions.h"
#include "db/keypairset.h"
#include "db/rowidmarks.h"

#include <QString>
#include <sqlite3.h>

namespace {

void ucaseFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int len = sqlite3_value_bytes(argv[0]);
    const QByteArray upper = QString::fromUtf8(text, len).toUpper().toUtf8();
    sqlite3_result_text(ctx, upper.constData(), upper.size(), SQLITE_TRANSIENT);
}

void isnullFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    sqlite3_result_int(ctx, (argc == 1 && sqlite3_value_type(argv[0]) == SQLITE_NULL) ? 1 : 0);
}

}

namespace SqlFunctions {

void registerAll(sqlite3 *handle)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(handle, "UCASE", 1, flags, nullptr, ucaseFunc, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(handle, "ISNULL", 1, flags, nullptr, isnullFunc, nullptr, nullptr, nullptr);
    RowidMarks::registerOn(handle);
    KeyPairSet::registerOn(handle);
}

}
