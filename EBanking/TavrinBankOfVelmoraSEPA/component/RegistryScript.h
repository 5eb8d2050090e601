#pragma once
// The module's registry scripts: a line-based list of the keys and values a class registers.
//
//   ; comment
//   key PATH [= DEFAULT]          create the key, with its default value when given
//   forceremove PATH [= DEFAULT]  replace the key whole: delete its tree, then create it
//   noremove PATH                 create the key if missing; unregistration leaves it
//   value PATH NAME = DATA        set a named string value on the key
//
// Paths are relative to the root the script runs under; %MODULE% in any text is replaced by
// the library's full path. Unregistration deletes the key of every key and forceremove line,
// last first. Parsing is pure so that it can be tested anywhere.
#include <string>
#include <vector>

enum class RegistryLineKind { Key, ForceRemove, NoRemove, Value };

struct RegistryLine {
    RegistryLineKind kind;
    std::wstring path;
    std::wstring name; // Value lines only
    std::wstring data; // default value or named value's data; empty with hasData false
    bool hasData = false;
};

// Parses a script; returns false (and the 1-based line of the fault) on a malformed line.
bool ParseRegistryScript(const std::wstring& text, const std::wstring& modulePath, std::vector<RegistryLine>& lines,
                         size_t* faultLine = nullptr);
