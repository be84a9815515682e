// The bytes of a picture read at an offset, from memory or from a file, so that a walk over a
// container's chunks reads their headers and skips the pixel data in between.
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
  virtual bool Read(uint64_t offset, size_t count, std::string* out) = 0;
};

class MemoryChunkSource final : public ChunkSource {
 public:
  explicit MemoryChunkSource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, size_t count, std::string* out) override;

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

  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, size_t count, std::string* out) override;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace zerva
