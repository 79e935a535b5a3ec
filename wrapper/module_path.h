#pragma once
// Where TAV lies: beside the wrapper's own module, however long its path.
#include <cstdint>
#include <functional>
#include <string>

// Reads a path as GetModuleFileNameW does (the characters written, or the
// buffer's size when the path was cut), into a buffer that grows until the
// whole path fits. Empty when the path cannot be had.
std::wstring ReadWholePath(const std::function<std::uint32_t(wchar_t*, std::uint32_t)>& in_read);

// The named program in the folder of the path; empty when the path has no folder.
std::wstring ProgramBeside(const std::wstring& in_module_path, const std::wstring& in_name);
