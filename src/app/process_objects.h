// The process-wide support objects, made in one visible place. The Windows
// entry builds them from the Win32 adapters once COM is up; tests build them
// from fakes. Forms receive references, never reach for globals.
#pragma once

#include "audio/endpoints.h"
#include "input/hotkeys.h"
#include "input/raw_input.h"
#include "link/device_link_file.h"
#include "link/processes.h"
#include "support/file.h"
#include "support/registry.h"
#include "support/system_messages.h"
#include "support/time_stamp.h"
#include "support/utf8.h"
#include "support/windows_version.h"

namespace varnolet {

// Every operating-system service the core uses, one port each.
struct Ports {
  SystemMessages& messages;
  Clock& clock;
  Utf8Codec& utf8;
  RegistryApi& registry;
  FileApi& files;
  VersionApi& version;
  CoreAudioApi& audio;
  ProcessApi& processes;
  TokenApi& token;
  WmiApi& wmi;
  ClsidApi& clsid;
  RawInputApi& rawInput;
};

class ProcessObjects {
 public:
  // Needs the GUI thread's COM apartment: the endpoint enumerator and the
  // process watcher hold COM objects until they are destroyed.
  explicit ProcessObjects(const Ports& systemPorts)
      : ports(systemPorts),
        Registry(ports.registry, ports.messages, ports.clock),
        WindowsVersion(ports.version, ports.messages, ports.clock),
        Drive(ports.files, ports.messages, ports.clock),
        Enumeration(ports.audio, ports.messages, ports.clock),
        Privileges(ports.token, ports.messages, ports.clock),
        Processes(ports.wmi, ports.processes, Privileges, ports.messages, ports.clock),
        RawInput(ports.rawInput, ports.messages, ports.clock),
        HotkeyTable(ports.messages, ports.clock) {}
  ProcessObjects(const ProcessObjects&) = delete;
  ProcessObjects& operator=(const ProcessObjects&) = delete;

  const Ports ports;
  CRegistry Registry;
  CWindowsVersion WindowsVersion;
  CDrive Drive;
  CEnumerationInterface Enumeration;
  CPrivileges Privileges;
  CProcesses Processes;
  CRawInput RawInput;
  CHotkeys HotkeyTable;
};

}  // namespace varnolet
