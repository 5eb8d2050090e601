#pragma once

// Tells the user when Windows file-system virtualisation stored the file at path elsewhere.
void CheckForRedirectedFile(const char* path);
