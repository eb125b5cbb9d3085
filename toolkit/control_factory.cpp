#include "control_factory.h"

#include "label.h"
#include "pic_box.h"
#include "push_button.h"
#include "trans_label.h"

namespace tk {

std::unique_ptr<Control> makeControl(Window& window, const ControlDef& def) {
    switch (def.kind) {
        case Kind::Label: return std::make_unique<Label>(window, def);
        case Kind::TransLabel: return std::make_unique<TransLabel>(window, def);
        case Kind::PicBox: return std::make_unique<PicBox>(window, def);
        case Kind::PushButton: return std::make_unique<PushButton>(window, def);
        case Kind::RadioBox:
        case Kind::ProcessBar:
        case Kind::PageControl: break;
    }
    return std::make_unique<Label>(window, def);
}

}  // namespace tk
