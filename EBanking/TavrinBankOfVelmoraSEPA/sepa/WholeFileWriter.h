#pragma once
// Writes a file so that it is either there whole or not written at all: into a new temporary
// file in the target's folder, which takes the target's place only when every byte reached the
// disk and the content is an XML document with a root element that holds the expected number of
// one element. The writer replaces no file but the one it is allowed to, and deletes only what
// it made itself, and that one file once the new one stands in its place.
#include "common/FileIdentity.h"
#include "sepa/FileOperations.h"

#include <objidl.h>

#include <functional>
#include <optional>
#include <string>

struct WholeFileRules {
    // The one file that may be replaced; nothing when the path must be free. The file must
    // still stand at the path, and must not be read-only.
    std::optional<FileIdentity> replaces;
    // The file holds exactly expectedCount start tags of this element.
    std::string countedElement;
    unsigned long long expectedCount = 0;
};

// write puts the file's content into the stream it is given and answers whether it succeeded.
// The target path is in the ANSI code page. True when the new file stands at the path whole;
// false, with nothing new at the path and every other file as it was, when the path names a
// device, folder or anything but a regular file, when a file stands there that rules do not let
// the writer replace, when the content breaks the rules, or when creating, writing, flushing or
// moving the file fails.
bool WriteWholeFile(const char* path, const std::function<HRESULT(IStream*)>& write, const WholeFileRules& rules,
                    CFileOperations& operations = SystemFileOperations());
