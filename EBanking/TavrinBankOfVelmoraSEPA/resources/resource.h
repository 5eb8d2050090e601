#pragma once
// Identifiers of the module's resources.

// The payment details dialog: its template, its icon and its controls.
#define IDI_SEPA_INFO 10
#define IDD_SEPA_INFO 1000
#define IDC_SEPA_OIN 212
#define IDC_SEPA_FILE_PATH 213
#define IDC_SEPA_BROWSE 214
#define IDC_SEPA_CUTOFF_NOTE 216
#define IDC_SEPA_OIN_NOTE 217
#define IDC_SEPA_EXECUTION_DATE 220
#define IDC_SEPA_EXECUTION_DATE_LABEL 221
#define IDC_SEPA_OIN_LABEL 222
#define IDC_SEPA_FILE_PATH_LABEL 223

#define IDR_TYPELIB 1

// Stylesheet that turns the credit transfer document into pain.001.001.03
// (resource type "XSLT").
#define IDR_PAIN001_STYLESHEET 500

// Character mapping table, resource type "MAPPINGS_FILE".
#define ID_MAPPINGS 3001

// Payment result messages: the string for result code n has id IDS_RESULT_MESSAGES + n.
#define IDS_RESULT_MESSAGES 300

// Registry scripts, resource type "REGISTRY".
#define IDR_REGISTRY_BANK 101
#define IDR_REGISTRY_BANKSERVICES 102
#define IDR_REGISTRY_BANKPAYMENTSERVICE 103
#define IDR_REGISTRY_BANKSTATEMENTSERVICE 104
