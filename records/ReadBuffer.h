// A read buffer that grows in place where it can. One record longer than a
// whole block must fit, however long: growing by a quarter at a time keeps
// the buffer within a quarter of the longest record, and realloc moves a
// large buffer by remapping its pages instead of holding two copies.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace quellor {

class ReadBuffer {
  public:
    explicit ReadBuffer(std::size_t size) { Resize(size); }
    ReadBuffer(ReadBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    ReadBuffer& operator=(ReadBuffer&&) = delete;
    ~ReadBuffer() { std::free(data_); }

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Room for at least need bytes, the bytes held kept.
    void Reserve(std::size_t need) {
        if (need <= size_) return;
        Resize(need > size_ + size_ / 4 ? need : size_ + size_ / 4);
    }

  private:
    void Resize(std::size_t size) {
        void* grown = std::realloc(data_, size ? size : 1);
        if (grown == nullptr) throw std::bad_alloc();
        data_ = static_cast<char*>(grown);
        size_ = size;
    }

    char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace quellor
