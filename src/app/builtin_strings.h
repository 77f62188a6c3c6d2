// The 48 interface texts the program starts with, by identifier. The English
// language library carries the same texts.
#pragma once

#include <array>
#include <string_view>

namespace varnolet {

inline constexpr std::size_t kStringCount = 48;

inline constexpr std::array<std::u16string_view, kStringCount> kBuiltInStrings = {
    u"Warning!",
    u"Options",
    u"Playback",
    u"Recording",
    u"Could not load specified Device Link configuration",
    u"Exit",
    u"General",
    u"Device Role",
    u"Hotkeys",
    u"About",
    u"Start with Windows",
    u"Disable splash screen",
    u"Show notifications",
    u"Enable hotkeys",
    u"Language",
    u"Device Link",
    u"Multimedia",
    u"Communications",
    u"Disable hotkeys:",
    u"Enable\\Disable notifications:",
    u"Playback devices:",
    u"Recording devices:",
    u"Varnolet 7 is not compatible with ",
    u"Could not load user settings, using defaults",
    u"Could not detect playback devices",
    u"Could not detect recording devices",
    u"No playback devices found",
    u"No recording devices found",
    u"Specified key is already used",
    u"This feauture is not available on Windows Vista",
    u"Could not load hotkeys, hotkeys are disabled",
    u"Could not save language setting",
    u"Could not save startup setting",
    u"Could not save splash screen setting",
    u"Could not save notification setting",
    u"Could not save hotkeys setting",
    u"Could not save device role setting",
    u"Hotkeys disabled",
    u"Notifications disabled",
    u"Notifications enabled",
    u"Could not load specified hotkeys configuration",
    u"Could not save Device Link setting",
    u"Could not load Device Link, Device Link is disabled",
    u"This device is not linked with a program",
    u"This device is not linked with a program",
    u"Enable Device Link",
    u"This program is already linked with a playback device",
    u"This program is already linked with a recording device",
};

}  // namespace varnolet
