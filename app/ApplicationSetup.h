#pragma once

#include <QString>

namespace cva {

// Names the running application. No display name is set: the toolkit would
// append it to every window's caption, and the captions are complete as
// the windows set them. Returns a warning for the user when the settings
// file cannot be used this time, empty otherwise.
QString SetUpApplication();

} // namespace cva
