// The settings mode alone, as velmorandi.scr starts it for "/c": the end-to-end check drives
// the dialog on a virtual screen and reads the Settei.ini it leaves beside this program.
#include "settings/dialogs/windows/settings_dialog.h"

int main() { return settings::RunSettingsDialog(); }
