// Resource ids of the framework tests' dialog and strings.
#pragma once

#define IDD_PROBE 200
#define IDC_PROBE_EDIT 1000
#define IDC_PROBE_GO 1001
#define IDC_PROBE_PROGRESS 1002
#define IDC_PROBE_STATUS 1003
#define IDC_PROBE_CHECK 1006
#define IDC_PROBE_THROW 1007
#define IDC_PROBE_MESSAGE 1008
#define IDM_PROBE_COMMAND 0x8001
#define IDM_PROBE_FAIL 0x8002
#define IDM_PROBE_FAIL_NESTED 0x8003

#define IDS_PROBE_PRESENT 201
#define IDS_PROBE_EMPTY 202
#define IDS_PROBE_ABSENT 203
