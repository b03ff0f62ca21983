#pragma once

// The decimal separator the user reads and types component values with.

#include <QLocale>

namespace cva {

inline char LocaleDecimalSeparator()
{
    return QLocale().decimalPoint() == QLatin1String(",") ? ',' : '.';
}

} // namespace cva
