// Files opened without sharing: while one stream holds a file, every other
// open of it fails, also within the same process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace stb {

class TFileStream {
 public:
  enum class Mode { OpenRead, Create };
  enum class Origin { Begin, Current, End };

  // Raises EFOpenError "Cannot open file %s" or EFCreateError
  // "Cannot create file %s".
  TFileStream(const std::string& name, Mode mode);
  ~TFileStream();
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // Returns the number of bytes read or written (0 on failure or at the end).
  int32_t Read(void* buffer, int32_t count);
  int32_t Write(const void* buffer, int32_t count);
  int64_t Seek(int64_t offset, Origin origin);
  int64_t Size();
  const std::string& FileName() const { return name_; }

 private:
  struct Impl;
  std::string name_;
  std::unique_ptr<Impl> impl_;
};

// Small file-system helpers used by the engine.
bool SetCurrentDir(const std::string& dir);
std::string GetCurrentDir();
bool RenameFile(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& name);
bool FileExists(const std::string& name);
// The folder delimiters of this system: "/" here, "\", "/" and ":" on Windows.
bool IsPathDelimiter(char c);

}  // namespace stb
