#include "support/file.h"

#include <cstring>

#include "support/text.h"

namespace varnolet {

namespace {

constexpr std::uint32_t kDriveBufferLength = 1024;
constexpr std::size_t kSubBlockBufferLength = 1024;

bool IsNetworkPath(const std::u16string& path) {
  return path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\';
}

}  // namespace

// ----------------------------------------------------------------- CDrive

CDrive::CDrive(FileApi& api, SystemMessages& messages, Clock& clock)
    : api_(api), log_(messages, clock, error_rules::kDrive), Directory(*this) {
  GetDrives();
  // A system that reports no drive at all leaves the usual system drive.
  root_ = drives_.empty() ? std::u16string(u"C:\\") : drives_.front();
}

bool CDrive::GetDrives() {
  std::u16string buffer(kDriveBufferLength, u'\0');
  const std::uint32_t length = api_.LogicalDriveStrings(kDriveBufferLength, buffer.data());
  if (!Check(length, u"CDrive,GetDrives(),GetLogicalDriveStrings(),NULL,")) return false;
  // A result larger than the buffer is the size the system would need; read
  // only what the buffer holds.
  const std::size_t end = length < kDriveBufferLength ? length : kDriveBufferLength;
  std::size_t start = 0;
  while (start < end) {
    std::size_t stop = buffer.find(u'\0', start);
    if (stop == std::u16string::npos || stop > end) stop = end;
    if (stop == start) break;  // double NUL: the end of the list
    drives_.push_back(buffer.substr(start, stop - start));
    start = stop + 1;
  }
  return true;
}

bool CDrive::CheckDrive(const std::u16string& root) {
  for (const std::u16string& drive : drives_) {
    std::u16string upper = drive;
    std::u16string lower = drive;
    for (char16_t& c : upper) c = UpperChar(c);
    for (char16_t& c : lower) c = LowerChar(c);
    if (root == upper || root == lower) return true;
  }
  log_.AddError(u"CDrive,CheckDrive(),NULL,NULL,The drive specified does not exist");
  return false;
}

bool CDrive::CheckPath(const std::u16string& path) {
  if (path.empty()) {
    log_.AddError(u"CDrive,CheckPath(),NULL,NULL,No path specified");
    return false;
  }
  if (path.size() < 3) {
    log_.AddError(u"CDrive,CheckPath(),NULL,NULL,The path specified is invalid");
    return false;
  }
  return path[1] == u':' && path[2] == u'\\';
}

std::u16string CDrive::ExtractPath(const std::u16string& path) {
  const std::u16string root = path.substr(0, 3);
  if (CheckDrive(root)) return root;
  log_.AddError(u"CDrive,ExtractPath(),CheckDrive(),NULL,Function Failed");
  return root_;
}

std::u16string CDrive::ResolveFilePath(const std::u16string& given) {
  std::u16string path = given;
  // A network path (\\server\share\...) is complete as it stands.
  if (!IsNetworkPath(path)) {
    if (!CheckPath(path)) {
      path = root_ + path;
    } else {
      const std::u16string root = ExtractPath(path);
      if (CheckDrive(root)) root_ = root;
    }
  }
  const std::size_t slash = path.rfind(u'\\');
  Directory.path_ = slash == std::u16string::npos ? root_ : path.substr(0, slash + 1);
  return path;
}

std::u16string CDrive::ResolveDirectoryPath(const std::u16string& given) {
  std::u16string path = given;
  if (!IsNetworkPath(path)) {
    if (!CheckPath(path)) {
      if (!path.empty() && path.front() == u'\\') path.erase(0, 1);
      path = root_ + path;
    } else {
      const std::u16string root = ExtractPath(path);
      if (CheckDrive(root)) root_ = root;
    }
  }
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path;
}

// ------------------------------------------------------------- CDirectory

CDirectory::CDirectory(CDrive& drive) : drive_(drive), File(drive) {}

bool CDirectory::Create(const std::u16string& given) {
  const std::u16string path = drive_.ResolveDirectoryPath(given);
  path_ = path;
  return drive_.Check(drive_.api_.MakeDirectory(path) ? 1 : 0,
                      u"CDirectory,Create(),CreateDirectory(),NULL,");
}

// ------------------------------------------------------------------ CFile

CFile::CFile(CDrive& drive) : FileInformation(drive), drive_(drive) {}

CFile::~CFile() {
  if (handle_ != 0) Close();
}

bool CFile::OpenWith(const std::u16string& given, std::uint32_t share, std::uint32_t creation,
                     std::uint32_t attributes, std::u16string_view entry) {
  path_ = drive_.ResolveFilePath(given);
  // Opening while a file is open replaces the handle without closing it.
  const FileHandle opened =
      drive_.api_.OpenHandle(path_, file_access::kReadWrite, share, creation, attributes);
  if (opened == kInvalidFileHandle || opened == 0) {
    handle_ = 0;
    drive_.Check(0, entry);
    return false;
  }
  handle_ = opened;
  drive_.lastResult_ = 1;
  return true;
}

bool CFile::Open(const std::u16string& path) {
  return OpenWith(path, file_access::kShareDelete, file_access::kOpenExisting, 0,
                  u"CFile,Open(),CreateFile(),NULL,");
}

bool CFile::Create(const std::u16string& path) {
  return OpenWith(path, file_access::kShareDelete, file_access::kCreateNew, file_access::kAttributeNormal,
                  u"CFile,Create(),CreateFile(),NULL,");
}

bool CFile::Truncate(const std::u16string& path) {
  return OpenWith(path, file_access::kShareNone, file_access::kCreateAlways, file_access::kAttributeNormal,
                  u"CFile,Truncate(),CreateFile(),NULL,");
}

bool CFile::Write(const void* buffer, std::uint32_t count, std::uint32_t origin, ByteOrderMark mark) {
  if (handle_ == 0) {
    drive_.log_.AddError(u"CFile,Write(),NULL,NULL,No file is currently open");
    return false;
  }
  if (!SetPointer(0, origin)) drive_.log_.AddError(u"CFile,Write(),SetPointer(),NULL,Function failed");
  if (origin == FileOrigin::Begin) {
    static constexpr std::uint8_t kUtf8[] = {0xEF, 0xBB, 0xBF};
    static constexpr std::uint8_t kUtf16BE[] = {0xFE, 0xFF};
    static constexpr std::uint8_t kUtf16LE[] = {0xFF, 0xFE};
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    std::u16string_view entry;
    switch (mark) {
      case ByteOrderMark::Utf8:
        bytes = kUtf8, size = 3, entry = u"CFile,Write(),WriteFile(),UTF8 Byte Order Mark,";
        break;
      case ByteOrderMark::Utf16BE:
        bytes = kUtf16BE, size = 2, entry = u"CFile,Write(),WriteFile(),UTF16BE Byte Order Mark,";
        break;
      case ByteOrderMark::Utf16LE:
        bytes = kUtf16LE, size = 2, entry = u"CFile,Write(),WriteFile(),UTF16LE Byte Order Mark,";
        break;
      default:
        break;
    }
    if (bytes != nullptr) {
      std::uint32_t written = 0;
      if (!drive_.Check(drive_.api_.WriteBytes(handle_, bytes, size, &written) ? 1 : 0, entry)) return false;
    }
  }
  std::uint32_t written = 0;
  return drive_.Check(drive_.api_.WriteBytes(handle_, buffer, count, &written) ? 1 : 0,
                      u"CFile,Write(),WriteFile(),NULL,");
}

bool CFile::Read(void* buffer, std::uint32_t count, std::uint32_t origin) {
  if (handle_ == 0) {
    drive_.log_.AddError(u"CFile,Read(),NULL,NULL,No file is currently open");
    return false;
  }
  if (!SetPointer(0, origin)) drive_.log_.AddError(u"CFile,Read(),SetPointer(),NULL,Function failed");
  std::uint32_t read = 0;
  return drive_.Check(drive_.api_.ReadBytes(handle_, buffer, count, &read) ? 1 : 0,
                      u"CFile,Read(),ReadFile(),NULL,");
}

bool CFile::SetPointer(std::uint32_t distance, std::uint32_t origin) {
  if (handle_ == 0) {
    drive_.log_.AddError(u"CFile,SetPointer(),NULL,NULL,No file is currently open");
    return false;
  }
  return drive_.Check(drive_.api_.MovePointer(handle_, static_cast<std::int64_t>(distance), origin) ? 1 : 0,
                      u"CFile,SetPointer(),SetFilePointerEx(),NULL,");
}

bool CFile::Size(std::uint32_t& size) {
  if (handle_ == 0) {
    drive_.log_.AddError(u"CFile,Size(),NULL,NULL,No file is currently open");
    return false;
  }
  std::uint64_t full = 0;
  if (!drive_.Check(drive_.api_.QuerySize(handle_, &full) ? 1 : 0, u"CFile,Size(),NULL,NULL,")) return false;
  size = static_cast<std::uint32_t>(full);
  return true;
}

bool CFile::Close() {
  if (handle_ == 0) {
    drive_.log_.AddError(u"CFile,Close(),NULL,NULL,No file currently open");
    return false;
  }
  if (!drive_.Check(drive_.api_.CloseFileHandle(handle_) ? 1 : 0, u"CFile,Close(),CloseHandle(),NULL,"))
    return false;
  handle_ = 0;
  return true;
}

bool CFile::Replace(const std::u16string& from, const std::u16string& to) {
  return drive_.Check(drive_.api_.MoveReplacing(from, to) ? 1 : 0, u"CFile,Replace(),MoveFileEx(),NULL,");
}

void CFile::Discard(const std::u16string& path) {
  drive_.api_.RemoveFile(path);
}

// ------------------------------------------------------------ safe replace

ReplaceStep ReplaceSafely(CFile& file, const std::u16string& path, const std::function<bool()>& content) {
  const std::u16string replacement = path + kReplacementSuffix;
  if (!file.Truncate(replacement)) return ReplaceStep::Create;
  if (!content()) {
    file.Close();
    file.Discard(replacement);
    return ReplaceStep::Content;
  }
  if (!file.Close()) {
    file.Discard(replacement);
    return ReplaceStep::Close;
  }
  if (!file.Replace(replacement, path)) {
    file.Discard(replacement);
    return ReplaceStep::Replace;
  }
  return ReplaceStep::Done;
}

// ------------------------------------------------------- CFileInformation

std::u16string CFile::CFileInformation::Get(const std::u16string& path, const std::u16string& key) {
  FileApi& api = drive_.api_;
  const std::uint32_t size = api.VersionInfoSize(path);
  if (!drive_.Check(size, u"CFile::CFileInformation,Get(),GetFileVersionInfoSize(),Specified file,"))
    return {};

  // The version block is read as 16-bit units so that the strings inside it stay aligned.
  std::vector<char16_t> block((size + 1) / 2 + 1, u'\0');
  if (!drive_.Check(api.VersionInfo(path, size, block.data()) ? 1 : 0,
                    u"CFile::CFileInformation,Get(),GetFileVersionInfo(),Specified file,"))
    return {};

  const void* translation = nullptr;
  std::uint32_t translationLength = 0;
  bool found =
      api.QueryVersionValue(block.data(), u"\\VarFileInfo\\Translation", &translation, &translationLength);
  // A translation block shorter than one (language, code page) pair names no language.
  if (found && (translation == nullptr || translationLength < 4)) found = false;
  if (!drive_.Check(found ? 1 : 0, u"CFile::CFileInformation,Get(),VerQueryValue(),Specified file,"))
    return {};

  std::uint16_t pair[2];
  std::memcpy(pair, translation, sizeof pair);
  std::u16string subBlock = u"\\StringFileInfo\\";
  subBlock += HexLower(pair[0], 4);
  subBlock += HexLower(pair[1], 4);
  subBlock += u'\\';
  subBlock += key;
  // The name must fit a buffer of 1024 characters with its terminator.
  if (!drive_.Check(subBlock.size() < kSubBlockBufferLength ? 1 : 0,
                    u"CFile::CFileInformation,Get(),StringCchPrintf(),Specified file,"))
    return {};

  const void* value = nullptr;
  std::uint32_t valueLength = 0;
  const bool hasValue = api.QueryVersionValue(block.data(), subBlock, &value, &valueLength);
  if (!drive_.Check(hasValue && value != nullptr ? 1 : 0,
                    u"CFile::CFileInformation,Get(),VerQueryValue(),Specified file,"))
    return {};
  // The length counts characters, the terminator often included.
  const auto* text = static_cast<const char16_t*>(value);
  std::size_t length = 0;
  while (length < valueLength && text[length] != u'\0') ++length;
  return std::u16string(text, length);
}

}  // namespace varnolet
