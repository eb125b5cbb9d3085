#include "control_factory.h"

#include "label.h"
#include "menu_item.h"
#include "page_control.h"
#include "pic_box.h"
#include "process_bar.h"
#include "push_button.h"
#include "radio_box.h"
#include "trans_label.h"

namespace tk {

std::unique_ptr<Control> makeControl(Window& window, const ControlDef& def) {
    switch (def.kind) {
        case Kind::Label: return std::make_unique<Label>(window, def);
        case Kind::TransLabel: return std::make_unique<TransLabel>(window, def);
        case Kind::PicBox: return std::make_unique<PicBox>(window, def);
        case Kind::PushButton: return std::make_unique<PushButton>(window, def);
        case Kind::MenuItem: return std::make_unique<MenuItem>(window, def);
        case Kind::RadioBox: return std::make_unique<RadioBox>(window, def);
        case Kind::ProcessBar: return std::make_unique<ProcessBar>(window, def);
        case Kind::PageControl: return std::make_unique<PageControl>(window, def);
    }
    return nullptr;
}

}  // namespace tk
