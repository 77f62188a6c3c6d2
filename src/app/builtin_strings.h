// The built-in English texts of the string table, identifiers 0 to 47. The
// main form starts with them and keeps them when no language library can be
// read; Language\English.dll carries the same texts (res/lang/english.rc).
#pragma once

#include <array>
#include <string_view>

#include "support/string_id.h"

namespace varnolet {

inline constexpr std::array<std::u16string_view, kStringCount> kBuiltInStrings = {
    u"Warning!",                                                // 0
    u"Options",                                                 // 1
    u"Playback",                                                // 2
    u"Recording",                                               // 3
    u"Could not load specified Device Link configuration",      // 4
    u"Exit",                                                    // 5
    u"General",                                                 // 6
    u"Device Role",                                             // 7
    u"Hotkeys",                                                 // 8
    u"About",                                                   // 9
    u"Start with Windows",                                      // 10
    u"Disable splash screen",                                   // 11
    u"Show notifications",                                      // 12
    u"Enable hotkeys",                                          // 13
    u"Language",                                                // 14
    u"Device Link",                                             // 15
    u"Multimedia",                                              // 16
    u"Communications",                                          // 17
    u"Disable hotkeys:",                                        // 18
    u"Enable\\Disable notifications:",                          // 19
    u"Playback devices:",                                       // 20
    u"Recording devices:",                                      // 21
    u"Varnolet 7 is not compatible with ",                      // 22
    u"Could not load user settings, using defaults",            // 23
    u"Could not detect playback devices",                       // 24
    u"Could not detect recording devices",                      // 25
    u"No playback devices found",                               // 26
    u"No recording devices found",                              // 27
    u"Specified key is already used",                           // 28
    u"This feauture is not available on Windows Vista",         // 29
    u"Could not load hotkeys, hotkeys are disabled",            // 30
    u"Could not save language setting",                         // 31
    u"Could not save startup setting",                          // 32
    u"Could not save splash screen setting",                    // 33
    u"Could not save notification setting",                     // 34
    u"Could not save hotkeys setting",                          // 35
    u"Could not save device role setting",                      // 36
    u"Hotkeys disabled",                                        // 37
    u"Notifications disabled",                                  // 38
    u"Notifications enabled",                                   // 39
    u"Could not load specified hotkeys configuration",          // 40
    u"Could not save Device Link setting",                      // 41
    u"Could not load Device Link, Device Link is disabled",     // 42
    u"This device is not linked with a program",                // 43
    u"This device is not linked with a program",                // 44
    u"Enable Device Link",                                      // 45
    u"This program is already linked with a playback device",   // 46
    u"This program is already linked with a recording device",  // 47
};

}  // namespace varnolet
