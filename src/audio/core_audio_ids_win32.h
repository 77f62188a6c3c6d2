// The identifiers of the Core Audio objects: the device enumerator, the two
// policy-configuration classes with the interfaces this program asks them
// for, and the friendly-name property key. One place for the program, its
// Wine tests, the end-to-end probes and the policy stand-in. Windows only.
#pragma once

#include <windows.h>
#include <mmdeviceapi.h>
#include <wtypes.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace varnolet::core_audio {

// MMDeviceEnumerator and IMMDeviceEnumerator.
inline constexpr GUID kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
inline constexpr GUID kDeviceEnumeratorInterface = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
// PolicyConfigVistaClient and the interface whose SetDefaultEndpoint changes a default.
inline constexpr GUID kPolicyVistaClass = {
    0x294935CE, 0xF637, 0x4E7C, {0xA4, 0x1B, 0xAB, 0x25, 0x54, 0x60, 0xB8, 0x62}};
inline constexpr GUID kPolicyVistaInterface = {
    0x568B9108, 0x44BF, 0x40B4, {0x90, 0x06, 0x86, 0xAF, 0xE5, 0xB5, 0xA6, 0x20}};
// PolicyConfigClient and its interface.
inline constexpr GUID kPolicy7Class = {
    0x870AF99C, 0x171D, 0x4F9E, {0xAF, 0x0D, 0xE6, 0x3D, 0xF4, 0x0C, 0x2B, 0xC9}};
inline constexpr GUID kPolicy7Interface = {
    0xF8679F50, 0x850A, 0x41CF, {0x9C, 0x72, 0x43, 0x0F, 0x29, 0x02, 0x90, 0xC8}};
// PKEY_Device_FriendlyName.
inline constexpr PROPERTYKEY kFriendlyNameKey = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};

constexpr bool SameGuid(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (std::size_t i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

// The two identifiers the system's header declares.
static_assert(SameGuid(kDeviceEnumeratorClass, __uuidof(MMDeviceEnumerator)));
static_assert(SameGuid(kDeviceEnumeratorInterface, __uuidof(IMMDeviceEnumerator)));

// A GUID in the registry's text form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// with its terminating null.
constexpr std::array<wchar_t, 39> RegistryText(const GUID& guid) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::array<wchar_t, 39> text{};
  std::size_t at = 0;
  auto hex = [&](std::uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i) text[at++] = kDigits[(value >> (4 * i)) & 0xF];
  };
  text[at++] = L'{';
  hex(guid.Data1, 8);
  text[at++] = L'-';
  hex(guid.Data2, 4);
  text[at++] = L'-';
  hex(guid.Data3, 4);
  text[at++] = L'-';
  hex(guid.Data4[0], 2);
  hex(guid.Data4[1], 2);
  text[at++] = L'-';
  for (std::size_t i = 2; i < 8; ++i) hex(guid.Data4[i], 2);
  text[at++] = L'}';
  return text;
}

// The class keys under which the policy stand-in of the tests registers itself.
inline constexpr std::array<wchar_t, 39> kPolicyVistaClassText = RegistryText(kPolicyVistaClass);
inline constexpr std::array<wchar_t, 39> kPolicy7ClassText = RegistryText(kPolicy7Class);

}  // namespace varnolet::core_audio
