#pragma once
#include <QString>
#include <vector>

// The placeholders of a statement's text: "?" and ":name", outside quoted
// text and "::" casts.
namespace Placeholders {

// One as the server numbers them ($1, $2, ...): a named one by its name (a
// name used twice is one parameter), a "?" by its place among the "?".
struct Parameter
{
    QString name;
    int position = -1;
};

// The text with $1, $2, ... in their places; parameters gets one entry a number.
QString numbered(const QString &sql, std::vector<Parameter> &parameters);

bool any(const QString &sql);

}
