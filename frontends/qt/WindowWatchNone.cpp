#include "frontends/qt/WindowWatch.h"

namespace vantrel {

// Windows and macOS disable a window that a modal box blocks, so its close
// button cannot be used, and Qt reports a destroyed window itself.
std::unique_ptr<WindowWatch> WatchWindow(QWidget& /*window*/, WindowWatch::Handlers /*handlers*/) { return nullptr; }

}  // namespace vantrel
