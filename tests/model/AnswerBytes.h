#pragma once

// Building answer data for the decoder tests: bytes, big-endian singles and packed texts.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/Utils.h"

class AnswerBytes {
public:
  AnswerBytes() = default;
  AnswerBytes(std::initializer_list<int> bytes) { Add(bytes); }

  AnswerBytes& Add(std::initializer_list<int> bytes) {
    for (int b : bytes) data_.push_back(static_cast<Byte>(b));
    return *this;
  }
  AnswerBytes& Single(float v) {
    const auto u = std::bit_cast<std::uint32_t>(v);
    return Add({static_cast<int>(u >> 24), static_cast<int>((u >> 16) & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                static_cast<int>(u & 0xFF)});
  }
  // The text packed in groups of four characters (padded with blanks).
  AnswerBytes& Packed(const std::string& text, int groups) {
    for (int g = 0; g < groups; ++g) {
      TPackedAscii pa;
      StrToPackedAscii(pa, text.size() > static_cast<std::size_t>(4 * g) ? text.substr(static_cast<std::size_t>(4 * g)) : "");
      for (char c : GetPackedPart(pa)) data_.push_back(static_cast<Byte>(c));
    }
    return *this;
  }
  AnswerBytes& Zeros(int n) {
    data_.insert(data_.end(), static_cast<std::size_t>(n), 0);
    return *this;
  }

  operator std::span<const Byte>() const { return data_; }  // NOLINT: passed as answer data
  const std::vector<Byte>& Bytes() const { return data_; }

private:
  std::vector<Byte> data_;
};
