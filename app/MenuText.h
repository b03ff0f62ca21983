#pragma once

// Names from files and the user (presets, file names, snapshot labels) as
// menu item texts: an '&' in them is a character, not a mnemonic.

#include <QString>

namespace cva {

inline QString MenuText(QString name)
{
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace cva
