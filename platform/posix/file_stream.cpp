// Exclusive file streams on POSIX: every open takes a non-blocking exclusive
// lock on its own open file description, so a second open of the same file
// fails, from this process or another.
#include "platform/file_stream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>

#include "platform/errors.h"

namespace stb {

struct TFileStream::Impl {
  int fd = -1;
};

namespace {
// Opens without blocking (a FIFO would otherwise wait for a writer) and
// accepts regular files only.
int OpenLocked(const std::string& name, int flags) {
  if (name.empty()) return -1;
  int fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  int fl = ::fcntl(fd, F_GETFL);
  if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  return fd;
}
}  // namespace

TFileStream::TFileStream(const std::string& name, Mode mode) : name_(name), impl_(std::make_unique<Impl>()) {
  if (mode == Mode::OpenRead) {
    impl_->fd = OpenLocked(name, O_RDONLY);
    if (impl_->fd < 0) throw EFOpenError("Cannot open file " + name);
  } else {
    // Truncate only once the lock is held, so a file that another stream
    // holds is left untouched.
    impl_->fd = OpenLocked(name, O_RDWR | O_CREAT);
    if (impl_->fd < 0 || ::ftruncate(impl_->fd, 0) != 0) {
      if (impl_->fd >= 0) ::close(impl_->fd);
      throw EFCreateError("Cannot create file " + name);
    }
  }
}

TFileStream::~TFileStream() {
  if (impl_ && impl_->fd >= 0) ::close(impl_->fd);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  auto* p = static_cast<char*>(buffer);
  int32_t total = 0;
  while (total < count) {
    ssize_t n = ::read(impl_->fd, p + total, static_cast<size_t>(count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<int32_t>(n);
  }
  return total;
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const auto* p = static_cast<const char*>(buffer);
  int32_t total = 0;
  while (total < count) {
    ssize_t n = ::write(impl_->fd, p + total, static_cast<size_t>(count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<int32_t>(n);
  }
  return total;
}

int64_t TFileStream::Seek(int64_t offset, Origin origin) {
  int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(impl_->fd, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(impl_->fd, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool SetCurrentDir(const std::string& dir) {
  if (dir.empty()) return false;
  return ::chdir(dir.c_str()) == 0;
}

std::string GetCurrentDir() {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  return ec ? std::string() : p.string();
}

bool RenameFile(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

bool DeleteFile(const std::string& name) { return ::unlink(name.c_str()) == 0; }

bool FileExists(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0;
}

bool IsPathDelimiter(char c) { return c == '/'; }

}  // namespace stb
