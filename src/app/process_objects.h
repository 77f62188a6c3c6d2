// The process-wide support objects, made in one visible place. The Windows
// entry builds them from the Win32 adapters once COM is up; tests build them
// from fakes. Forms receive references, never reach for globals.
#pragma once

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
};

class ProcessObjects {
 public:
  explicit ProcessObjects(const Ports& systemPorts)
      : ports(systemPorts),
        WindowsVersion(ports.version, ports.messages, ports.clock),
        Registry(ports.registry, ports.messages, ports.clock),
        Drive(ports.files, ports.messages, ports.clock) {}
  ProcessObjects(const ProcessObjects&) = delete;
  ProcessObjects& operator=(const ProcessObjects&) = delete;

  const Ports ports;
  CWindowsVersion WindowsVersion;
  CRegistry Registry;
  CDrive Drive;
};

}  // namespace varnolet
