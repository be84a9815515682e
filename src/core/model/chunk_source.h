// The bytes of a picture read at an offset, from memory or from a file, so that a walk over a
// container's chunks or boxes reads their headers and skips the pixel data in between, and a
// decoder reading through it never opens the file itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zerva {

class ChunkSource {
 public:
  virtual ~ChunkSource() = default;
  virtual uint64_t Size() const = 0;
  // Exactly `count` bytes at `offset` into `out`; false when they are not all there.
  virtual bool ReadInto(uint64_t offset, size_t count, char* out) = 0;

  // The same into a string.
  bool Read(uint64_t offset, size_t count, std::string* out);
  // Up to `count` bytes at `offset`, fewer at the end; false past the end or on a read error.
  bool ReadUpTo(uint64_t offset, size_t count, std::string* out);
};

class MemoryChunkSource final : public ChunkSource {
 public:
  explicit MemoryChunkSource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadInto(uint64_t offset, size_t count, char* out) override;

 private:
  std::string_view bytes_;
};

// A regular file only (see OpenRegularFile); an unopened one has size 0 and reads nothing.
class FileChunkSource final : public ChunkSource {
 public:
  explicit FileChunkSource(const std::string& path);
  ~FileChunkSource() override;
  FileChunkSource(const FileChunkSource&) = delete;
  FileChunkSource& operator=(const FileChunkSource&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  uint64_t Size() const override { return size_; }
  bool ReadInto(uint64_t offset, size_t count, char* out) override;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace zerva
