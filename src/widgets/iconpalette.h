#pragma once
#include <QColor>

// The colours every drawn icon of the program shares.
namespace IconPalette {
inline const QColor Blue(0x1f, 0x5f, 0x9e);
inline const QColor Dark(0x23, 0x3a, 0x52);
inline const QColor Gold(0xe9, 0xa4, 0x0c);
inline const QColor Green(0x2e, 0x8b, 0x57);
inline const QColor Red(0xc0, 0x39, 0x2b);
}
