#pragma once
// Writes a file so that it is either there whole or not written at all: into a new temporary
// file in the target's folder, which takes the target's place only when every byte reached the
// disk and the content is an XML document with a root element.
#include "sepa/FileOperations.h"

#include <objidl.h>

#include <functional>

// write puts the file's content into the stream it is given and answers whether it succeeded.
// The target path is in the ANSI code page. True when a regular file of exactly the written
// length now stands at the path; false, with the folder as it was (beyond an existing file that
// the move had already replaced), when the path names a device, folder or anything but a
// regular file, or when creating, writing, flushing, moving or the check afterwards fails.
bool WriteWholeFile(const char* path, const std::function<HRESULT(IStream*)>& write,
                    CFileOperations& operations = SystemFileOperations());
