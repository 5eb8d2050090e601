#pragma once
// Identifiers of the module's resources.

#define IDR_TYPELIB 1
#define IDR_XSLT_PAIN001 500
