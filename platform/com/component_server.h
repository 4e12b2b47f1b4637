// The C entry points every component library exports: object creation and
// release, and the self-registration pair the registration tool calls.
#pragma once

#include <cstddef>

namespace kado::com::entry {

// void* kado_CreateObject(const char* progId): a new object, nullptr for a ProgID the library does not serve.
inline constexpr char kCreateObject[] = "kado_CreateObject";
using CreateObjectFn = void* (*)(const char* progId);
// void kado_ReleaseObject(void* object): frees what kado_CreateObject returned.
inline constexpr char kReleaseObject[] = "kado_ReleaseObject";
using ReleaseObjectFn = void (*)(void* object);
// int kado_RegisterServer(char* message, size_t size): enters the library's
// classes into the registry; 0 on success, else an error number with its
// text in message (always terminated).
inline constexpr char kRegisterServer[] = "kado_RegisterServer";
inline constexpr char kUnregisterServer[] = "kado_UnregisterServer";
using RegisterServerFn = int (*)(char* message, std::size_t size);

}  // namespace kado::com::entry
