#pragma once

// Resource identifiers of the module. Each feature adds its own block.

// Stylesheet that turns the credit transfer document into pain.001.001.03
// (resource type "XSLT").
#define IDR_PAIN001_STYLESHEET 500
