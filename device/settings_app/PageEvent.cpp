#include "PageEvent.h"

#include "control/ControlChannel.h"

namespace zv::device {

void PageEvent::write() {
    Json event = screen_.event();
    std::string text = event.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text == lastWritten_) return;
    lastWritten_ = std::move(text);
    control::ControlChannel::writeLine(event);
}

}  // namespace zv::device
