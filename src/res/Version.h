#pragma once

// The program's version block.
namespace version {
constexpr const char* ProductName = "Tillbook";
constexpr const char* FileDescription = "Tillbook V1.00";
constexpr const char* CompanyName = "Quillmoor";
constexpr const char* FileVersion = "1.0.0";
constexpr const char* ProductVersion = "1.0.0.1";
constexpr const char* InternalName = "Coffer.exe";
constexpr const char* OriginalFilename = "Coffer.exe";
constexpr int Language = 0x0804;
constexpr int CodePage = 936;
}  // namespace version
