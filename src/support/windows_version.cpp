#include "support/windows_version.h"

#include "support/text.h"

namespace varnolet {

using namespace version_code;

namespace {

const char16_t* ClientEdition(std::uint32_t code) {
  switch (code) {
    case kUltimate:
      return u"Ultimate";
    case kHomeBasic:
      return u"Home Basic";
    case kHomePremium:
      return u"Premium";
    case kEnterprise:
      return u"Enterprice";
    case kHomeBasicN:
      return u"Home Basic N";
    case kBusiness:
      return u"Business";
    case kStarter:
      return u"Starter";
    case kBusinessN:
      return u"Business N";
    case kHomePremiumN:
      return u"Premium N";
    case kEnterpriseN:
      return u"Enterprice N";
    case kUltimateN:
      return u"Ultimate N";
    default:
      return u"";
  }
}

const char16_t* ServerEdition(std::uint32_t code) {
  switch (code) {
    case kStandardServer:
    case kStandardServerCore:
      return u"Standard";
    case kDataCenterServer:
    case kDataCenterServerCore:
      return u"Data Center";
    case kEnterpriseServer:
    case kEnterpriseServerCore:
      return u"Enterprice";
    case kEnterpriseServerIa64:
      return u"Enterprice IA64";
    case kWebServer:
      return u"Web Server";
    default:
      return u"";
  }
}

}  // namespace

CWindowsVersion::CWindowsVersion(VersionApi& api, SystemMessages& messages, Clock& clock)
    : api_(api), log_(messages, clock, error_rules::kWindowsVersion) {
  if (!Initialize()) log_.AddError(u"CWindowsVersion,CWindowsVersion(),Initialize(),NULL,Function failed");
}

bool CWindowsVersion::Initialize() {
  status_ = api_.QueryVersion(basic_) ? 1 : 0;
  if (!log_.CheckResult(status_, u"CWindowsVersion,Initialize(),GetVersionEx(),OSVERSIONINFO,")) return false;
  if (basic_.platformId == kPlatformNt) {
    status_ = api_.QueryVersionEx(extended_) ? 1 : 0;
    if (!log_.CheckResult(status_, u"CWindowsVersion,Initialize(),GetVersionEx(),OSVERIONINFOEX,"))
      return false;
  }
  if (basic_.majorVersion >= 6) {
    if (!api_.HasProductInfo()) {
      log_.AddError(
          u"CWindowsVersion,Intialize(),GetProcAdress(),NULL,Could not load a needed module from "
          u"Kernel32.dll,");
      return false;
    }
    status_ = api_.ProductInfo(extended_.majorVersion, extended_.minorVersion, extended_.servicePackMajor,
                               extended_.servicePackMinor, &productType_)
                  ? 1
                  : 0;
    if (status_ == 0) {
      log_.AddError(u"CWindowsVersion,Intialize(),GetProductInfo(),NULL,One or more parameters is invalid");
      return false;
    }
  }
  ChooseNames();
  servicePack_ = basic_.csdVersion;
  build_ = u"Build " + Decimal(basic_.buildNumber);
  description_ = name_ + u" " + edition_ + u" " + servicePack_ + u" " + build_;
  return true;
}

bool CWindowsVersion::IsVistaWorkstation() const {
  return basic_.majorVersion == 6 && extended_.minorVersion == 0 && extended_.productType == kWorkstation;
}

void CWindowsVersion::ChooseNames() {
  const std::uint32_t major = basic_.majorVersion;
  const std::uint32_t minor = basic_.minorVersion;
  const std::uint16_t suite = extended_.suiteMask;
  const std::uint8_t type = extended_.productType;
  const std::u16string& sp = basic_.csdVersion;

  if (basic_.platformId == kPlatformWindows) {
    if (minor == 0) {
      name_ = u"Microsoft Windows 95";
      if (sp == u"B" || sp == u"C") edition_ = u"OSR2";
    } else if (minor == 10) {
      name_ = u"Microsoft Windows 98";
      if (sp == u"A") edition_ = u"Second Edition";
    } else if (minor == 90) {
      name_ = u"Microsoft Windows Millenium";
    }
    return;
  }
  if (basic_.platformId != kPlatformNt) return;

  if (major == 3) {
    name_ = u"Microsoft Windows NT 3,5";
  } else if (major == 4) {
    name_ = u"Microsoft Windows NT 4,0";
    if (type == kWorkstation)
      edition_ = u"Workstation";
    else if (type == kServer)
      edition_ = (suite & kSuiteEnterprise) ? u"Server Enterprice" : u"Server Standard";
  } else if (major == 5 && minor == 0) {
    name_ = u"Microsoft Windows 2000";
    if (suite & kSuiteDataCenter)
      edition_ = u"DataCenter";
    else if (suite & kSuiteEnterprise)
      edition_ = u"Advanced";
  } else if (major == 5 && minor == 1) {
    name_ = u"Microsoft Windows XP";
    edition_ = (suite & kSuitePersonal) ? u"Home Edition" : u"Professional";
  } else if (major == 5 && minor == 2) {
    if (suite & kSuiteWhsServer) {
      name_ = u"Microsoft Windows Home Server";
    } else {
      name_ = u"Micorosoft Windows Server 2003";
      if (suite & kSuiteEnterprise)
        edition_ = u"Enterprice";
      else if (suite & kSuiteDataCenter)
        edition_ = u"Data Center";
      else if (suite & kSuiteBlade)
        edition_ = u"Web Edition";
      else if (type == kServer && api_.SystemMetrics(kServerR2Metric) != 0)
        edition_ = u"R2";
      else
        edition_ = u"Standard";
    }
  } else if (major == 6 && minor == 0) {
    if (type == kWorkstation) {
      name_ = u"Microsoft Windows Vista";
      edition_ = ClientEdition(productType_);
    } else if (type == kServer) {
      name_ = u"Microsoft Windows Server 2008";
      edition_ = ServerEdition(productType_);
    }
  } else if (major == 6 && minor == 1) {
    if (type == kWorkstation) {
      name_ = u"Microsoft Windows 7";
      edition_ = ClientEdition(productType_);
    } else if (type == kServer) {
      name_ = u"Microsoft Windows Server 2008 R2";
    }
  }
}

}  // namespace varnolet
