#pragma once
// Identifiers of the module's resources.

#define IDR_TYPELIB 1

// Stylesheet that turns the credit transfer document into pain.001.001.03
// (resource type "XSLT").
#define IDR_PAIN001_STYLESHEET 500
