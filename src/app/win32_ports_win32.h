// The Win32 adapters behind every port, owned together.
#pragma once

#include "app/process_objects.h"
#include "support/clock_win32.h"
#include "support/file_win32.h"
#include "support/registry_win32.h"
#include "support/system_messages_win32.h"
#include "support/utf8_win32.h"
#include "support/windows_version_win32.h"

namespace varnolet {

struct Win32Ports {
  Win32SystemMessages messages;
  CrtClock clock;
  Win32Utf8Codec utf8;
  Win32RegistryApi registry;
  Win32FileApi files;
  Win32VersionApi version;

  Ports Bundle() { return Ports{messages, clock, utf8, registry, files, version}; }
};

}  // namespace varnolet
