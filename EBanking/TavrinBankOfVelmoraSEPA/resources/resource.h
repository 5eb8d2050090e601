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
