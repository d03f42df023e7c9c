// The Windows API subset the program uses, one header for all of it.
//
//   Types and constants ........ WinTypes.h
//   GetLocalTime ............... Time.h      (independent of the backend; clock injectable)
//   GetModuleFileNameA ......... Module.h    (independent of the backend)
//   Get/WritePrivateProfile* ... Profile.h   (independent of the backend)
//   MessageBoxA, ClientToScreen  WinUser.h   (through the backend)
//   ShellExecuteA .............. Shell.h     (through the backend)
//   Resources .................. Resources.h
#pragma once

#include "winapi/Module.h"
#include "winapi/Profile.h"
#include "winapi/Resources.h"
#include "winapi/Shell.h"
#include "winapi/Time.h"
#include "winapi/WinTypes.h"
#include "winapi/WinUser.h"
