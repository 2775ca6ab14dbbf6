#pragma once

// What the fuzz targets share: a failed invariant stops the run with its text (libFuzzer
// then keeps the input, the replay program fails), and a reader that takes the values of a
// case from the fuzzer's bytes, giving zeros once they are used up.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define FUZZ_CHECK(cond)                                         \
  do {                                                           \
    if (!(cond)) fuzz::Fail(#cond, __FILE__, __LINE__);          \
  } while (0)

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", what, file, line);
  std::fflush(stderr);
  std::abort();
}

class Input {
public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  std::size_t Left() const { return size_ - pos_; }

  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool Bool() { return (Byte() & 1) != 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }
  std::uint32_t U32() { return std::uint32_t{U16()} << 16 | U16(); }
  // A value from lo to hi (both included; hi - lo below 2^32).
  std::int64_t Range(std::int64_t lo, std::int64_t hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    const std::uint64_t raw = span <= 256 ? Byte() : span <= 65536 ? U16() : U32();
    return lo + static_cast<std::int64_t>(raw % span);
  }
  // Any single, NaNs and infinities included.
  float RawFloat() {
    const std::uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  // A finite single: small values with few decimals most of the time, any finite one else.
  float Float() {
    const std::uint8_t kind = Byte();
    if (kind < 192) return static_cast<float>(static_cast<std::int16_t>(U16())) / 100.0f;
    const float f = RawFloat();
    return std::isfinite(f) ? f : 0.0f;
  }
  // At most n bytes, as many as are left.
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    n = n < Left() ? n : Left();
    std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return out;
  }
  std::vector<std::uint8_t> Rest() { return Bytes(Left()); }
  std::string Text(std::size_t n) {
    const std::vector<std::uint8_t> b = Bytes(n);
    return std::string(b.begin(), b.end());
  }

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
