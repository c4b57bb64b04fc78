// The one way the Windows backend includes the system headers.
//
// <windows.h> defines many of its functions as macros that pick the ANSI or
// wide variant (GetMessage becomes GetMessageA) or that take arguments
// (CreateWindow). Engine classes have members of the same names, so a file
// that sees both would silently call or declare a renamed member, and two
// files could disagree about one class. This header includes what the backend
// needs and removes every such macro; the backend calls the ...A functions by
// their full names. A build check compiles every engine header after this one
// and lists any new collision.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#undef CreateWindow
#undef DrawText
#undef GetClassName
#undef GetMessage
#undef LoadImage
#undef PlaySound
