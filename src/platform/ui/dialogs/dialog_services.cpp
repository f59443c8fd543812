#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {

// The interfaces' tables are made once, here.
ModalDialog::~ModalDialog() = default;
ChildProcess::~ChildProcess() = default;
DialogServices::~DialogServices() = default;

}  // namespace platform::ui
