#pragma once
// Declarations of the plug-in's exports, for the library itself and for host stand-ins that link to it.
#include "common/ole_date_time.h"

#if defined(_WIN32)
#define STATS_CALL __cdecl
#define STATS_EXPORT extern "C"
#else
#define STATS_CALL
#define STATS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Function-pointer types as a host resolves them.
using GetNumberOfSetsFn = int(STATS_CALL*)();
using GetExchgCount0Fn = int(STATS_CALL*)(const char*, const char*, const char*);
using GetSetNameFn = const char*(STATS_CALL*)(int);
using SetupSet0Fn = void(STATS_CALL*)();
using SetVersionFn = unsigned long(STATS_CALL*)(const char*);
using IsValidExchg0Fn = int(STATS_CALL*)(const char*, const char*, const char*, const char*, int, int, int);
using CheckCall0Fn = int(STATS_CALL*)(const char*, unsigned, unsigned, const char*, const char*, const char*,
                                      const char*, const char*, const char*, const char*, const char*,
                                      const char*, const char*, const char*, int, int, int, double, double,
                                      const char*, const char*, const char*, const char*, const char*,
                                      const char*, const char*, char*, char*);
using AddData0Fn = int(STATS_CALL*)(const char*, const char*, COleDateTime*, COleDateTime*, COleDateTime*,
                                    COleDateTime*, unsigned, unsigned, const char*, const char*, const char*,
                                    const char*, const char*, const char*, const char*, const char*,
                                    const char*, const char*, const char*, const char*, const char*,
                                    const char*, const char*, int, int, int, double, double, const char*,
                                    const char*, const char*, const char*, const char*);
using RemoveData0Fn = AddData0Fn;
using ResetStats0Fn = int(STATS_CALL*)(const char*, int, const char*, COleDateTime*, COleDateTime*,
                                       const char*, const char*, const char*, const char*, const char*,
                                       const char*, const char*, const char*, const char*, const char*, int,
                                       int, int, double, double, const char*, const char*, const char*);
using GetResult0Fn = const char*(STATS_CALL*)(int*);
// Native build only: the answer its screenless header dialog confirms, as dialog labels and their texts.
using SetHeaderDialogAnswerFn = void(STATS_CALL*)(int, const char* const*, const char* const*);
