#pragma once

// Character mapping table, resource type "MAPPINGS_FILE".
#define ID_MAPPINGS 3001
