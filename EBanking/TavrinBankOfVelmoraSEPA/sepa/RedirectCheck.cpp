#include "sepa/RedirectCheck.h"

// Interim: no file is written yet, so nothing can have been redirected.
void CheckForRedirectedFile(const char*) {}
