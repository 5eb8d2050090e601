#pragma once
// Identifiers of the module's resources.

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
