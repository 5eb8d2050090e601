#pragma once
// The stylesheets the module carries as resources of type "XSLT".
#include <string>

// The bytes of the stylesheet resource with this identifier, exactly as stored; empty when the
// module has no such resource or it cannot be loaded.
std::string LoadStylesheetResource(int resourceId);
