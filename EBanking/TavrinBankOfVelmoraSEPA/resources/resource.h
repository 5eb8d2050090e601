#pragma once
// Identifiers of the module's resources.

#define IDR_TYPELIB 1
#define IDR_XSLT_PAIN001 500

// Character mapping table, resource type "MAPPINGS_FILE".
#define ID_MAPPINGS 3001

// Payment result messages: the string for result code n has id IDS_RESULT_MESSAGES + n.
#define IDS_RESULT_MESSAGES 300
