// The Win32 adapters behind every port, owned together.
#pragma once

#include "app/process_objects.h"
#include "audio/endpoints_win32.h"
#include "input/raw_input_win32.h"
#include "link/device_link_file_win32.h"
#include "link/processes_win32.h"
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
  Win32CoreAudioApi audio;
  Win32ProcessApi processes;
  Win32TokenApi token;
  Win32WmiApi wmi;
  Win32ClsidApi clsid;
  Win32RawInputApi rawInput;

  Ports Bundle() {
    return Ports{messages, clock,     utf8,  registry, files, version,
                 audio,    processes, token, wmi,      clsid, rawInput};
  }
};

}  // namespace varnolet
