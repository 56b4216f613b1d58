#pragma once
#include "import/datastruct.h"

// Short names for the layout tables of the descriptor definitions.
namespace DescriptorLayout {
constexpr TFieldType Text = TFieldType::Text;
constexpr TFieldType Int = TFieldType::Integer;
constexpr TFieldType Date = TFieldType::DateTime; // file dates are written as date-time at 00:00
}
