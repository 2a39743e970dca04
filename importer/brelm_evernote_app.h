// CBrelmEverNoteApp: the application object and its start-up; the product's registered messages.
#pragma once

#include "afx.h"

class CBrelmEverNoteApp : public CWinApp {
public:
    CBrelmEverNoteApp();
    ~CBrelmEverNoteApp() override;

    // Runs the whole program: start-up, the main dialog, and always FALSE after.
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};

extern CBrelmEverNoteApp theApp;

// The product's registered window messages; this program registers them and uses none.
extern const UINT BRELM_UM_PARENT_SIZED;
extern const UINT BRELM_UM_CLOSE_WINDOW_FOR_AUTO_UPDATE;
extern const UINT BRELM_UM_USER_IMAGE_INITED;
extern const UINT BRELM_UM_DOCUMENT_ABSTRACT_INITED;
extern const UINT BRELM_UM_OPERATION_IS_CANCELED;
extern const UINT BRELM_UM_OPERATION_DONE;
extern const UINT BRELM_UM_OPERATION_SET_PROGRESS;
extern const UINT BRELM_UM_BUBBLE_CLICKED;
extern const UINT BRELMKM_UM_DOWNLOADINGDOCUMENT;
extern const UINT BRELMKM_UM_UPLOADINGDOCUMENT;
extern const UINT BRELMKM_UM_UPLOADINGATTACHMENT;
extern const UINT BRELM_UM_SWITCH_IMAGE_FROM_MOBILE;
extern const UINT BRELMKM_UM_INSERT_IMAGE_INTO_DOCUMENT;
extern const UINT BRELMKM_UM_UPDATE_POPUP_EDITOR;
extern const UINT BRELM_UM_QUERY_CAN_USE_AMEND;
extern const UINT BRELM_UM_CONTROLEVENTS;
// The application's own holder of BRELM_UM_CONTROLEVENTS, registered after theApp.
extern const UINT BRELM_UM_CONTROLEVENTS_APP;
