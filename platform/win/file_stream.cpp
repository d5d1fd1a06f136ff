// Exclusive file streams on Windows: files are opened with no sharing, so a
// second open of a held file fails.
#include <windows.h>
#undef DeleteFile

#include "platform/errors.h"
#include "platform/file_stream.h"

namespace stb {

struct TFileStream::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

TFileStream::TFileStream(const std::string& name, Mode mode) : name_(name), impl_(std::make_unique<Impl>()) {
  if (mode == Mode::OpenRead) {
    impl_->handle = ::CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (impl_->handle == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file " + name);
  } else {
    impl_->handle = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (impl_->handle == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file " + name);
  }
  if (::GetFileType(impl_->handle) != FILE_TYPE_DISK) {
    ::CloseHandle(impl_->handle);
    impl_->handle = INVALID_HANDLE_VALUE;
    if (mode == Mode::OpenRead) throw EFOpenError("Cannot open file " + name);
    throw EFCreateError("Cannot create file " + name);
  }
}

TFileStream::~TFileStream() {
  if (impl_ && impl_->handle != INVALID_HANDLE_VALUE) ::CloseHandle(impl_->handle);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD got = 0;
  if (!::ReadFile(impl_->handle, buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
  return static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD put = 0;
  if (!::WriteFile(impl_->handle, buffer, static_cast<DWORD>(count), &put, nullptr)) return 0;
  return static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, Origin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  const DWORD method = origin == Origin::Begin ? FILE_BEGIN : origin == Origin::Current ? FILE_CURRENT : FILE_END;
  if (!::SetFilePointerEx(impl_->handle, distance, &result, method)) return -1;
  return result.QuadPart;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(impl_->handle, &size)) return 0;
  return size.QuadPart;
}

bool SetCurrentDir(const std::string& dir) { return !dir.empty() && ::SetCurrentDirectoryA(dir.c_str()) != 0; }

std::string GetCurrentDir() {
  char buf[MAX_PATH + 1];
  const DWORD n = ::GetCurrentDirectoryA(sizeof buf, buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool RenameFile(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool DeleteFile(const std::string& name) { return ::DeleteFileA(name.c_str()) != 0; }

bool FileExists(const std::string& name) { return ::GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace stb
