#include "StatusBarImage.h"

#include "control/LayoutPicture.h"

namespace zv::screen {

std::string statusBarImage(const nlohmann::json& event, const std::string& timeText) {
    StatusBarPicture picture = control::layoutPicture(event, timeText);
    // SpringBoard's own screens (the lock screen, the home screen and the
    // notification centre) are dark: the bar shows them through it.
    if (event.is_object() && event.contains("locked")) picture.dark = true;
    return statusBarSvg(picture);
}

}  // namespace zv::screen
