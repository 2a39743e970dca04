// The framework in one include: strings, dates, COM holders, the application, windows and dialogs.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "cstring.h"
#include "oledatetime.h"
#include "com_ptr.h"
#include "module_state.h"
#include "cmd_target.h"
#include "wnd.h"
#include "win_app.h"
#include "dialog.h"
#include "controls.h"
#include "paint_dc.h"
#include "file_dialog.h"
