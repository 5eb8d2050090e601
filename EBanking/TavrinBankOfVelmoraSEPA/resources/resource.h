#pragma once
// Identifiers of the module's resources.

// The payment details dialog: its template, its icon and its controls.
#define IDI_SEPA_INFO                  10
#define IDD_SEPA_INFO                  1000
#define IDC_SEPA_OIN                   212
#define IDC_SEPA_FILE_PATH             213
#define IDC_SEPA_BROWSE                214
#define IDC_SEPA_CUTOFF_NOTE           216
#define IDC_SEPA_OIN_NOTE              217
#define IDC_SEPA_EXECUTION_DATE        220
#define IDC_SEPA_EXECUTION_DATE_LABEL  221
#define IDC_SEPA_OIN_LABEL             222
#define IDC_SEPA_FILE_PATH_LABEL       223

#define IDR_TYPELIB 1
#define IDR_XSLT_PAIN001 500
