#pragma once

namespace cva {

// Names the running application. No display name is set: the toolkit would
// append it to every window's caption, and the captions are complete as
// the windows set them.
void SetUpApplication();

} // namespace cva
