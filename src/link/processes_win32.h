#pragma once

#include "link/processes.h"

namespace varnolet {

class Win32ProcessApi final : public ProcessApi {
 public:
  bool ListProcessIds(std::uint32_t* ids, std::uint32_t bytes, std::uint32_t* returned) override;
  ProcessHandle OpenProcessHandle(std::uint32_t access, std::uint32_t id) override;
  std::uint32_t ModuleBaseName(ProcessHandle process, char16_t* buffer, std::uint32_t length) override;
  std::uint32_t ModuleFullPath(ProcessHandle process, char16_t* buffer, std::uint32_t length) override;
  bool CloseProcessHandle(ProcessHandle process) override;
};

class Win32TokenApi final : public TokenApi {
 public:
  bool LookupPrivilegeId(const std::u16string& name, PrivilegeId* id) override;
  TokenHandle OpenOwnToken(std::uint32_t access) override;
  bool AdjustPrivilege(TokenHandle token, PrivilegeId id, std::uint32_t attributes) override;
  bool CloseTokenHandle(TokenHandle token) override;
};

class Win32WmiApi final : public WmiApi {
 public:
  std::int32_t EnterApartment() override;
  void LeaveApartment() override;
  std::int32_t InitializeSecurity() override;
  std::int32_t CreateLocator(ComRef* locator) override;
  std::int32_t ConnectServer(ComRef locator, const std::u16string& nameSpace, ComRef* services) override;
  std::int32_t SetProxyBlanket(ComRef services) override;
  std::int32_t CreateUnsecuredApartment(ComRef* apartment) override;
  // A sink whose ComInterface() is an IWbemObjectSink forwarding to it.
  CProcesses::CEventSink* NewEventSink(CProcesses& owner) override;
  std::int32_t CreateObjectStub(ComRef apartment, CProcesses::CEventSink& sink, ComRef* stub) override;
  std::int32_t QueryObjectSink(ComRef stub, ComRef* stubSink) override;
  std::int32_t ExecNotificationQueryAsync(ComRef services, const std::u16string& language,
                                          const std::u16string& query, std::int32_t flags,
                                          ComRef sink) override;
  std::int32_t CancelAsyncCall(ComRef services, ComRef sink) override;
  void ReleaseObject(ComRef object) override;
};

}  // namespace varnolet
