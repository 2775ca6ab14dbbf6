#pragma once

// Reading the data of a HART answer: big-endian values at byte positions, where a position
// past the end of the answer reads as 0, so a short answer never reads outside its buffer.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/Utils.h"
#include "model/Xmt.h"

namespace answer {

inline Byte At(TAnswerData data, std::size_t i) { return i < data.size() ? data[i] : 0; }

// Bytes i, i+1 as an unsigned 16-bit value, most significant first.
inline std::int32_t Word(TAnswerData data, std::size_t i) { return At(data, i) * 256 + At(data, i + 1); }

inline std::int32_t Int24(TAnswerData data, std::size_t i) { return Bytes3ToInt(At(data, i), At(data, i + 1), At(data, i + 2)); }

inline float Single(TAnswerData data, std::size_t i) {
  return static_cast<float>(BytesToSingle(At(data, i), At(data, i + 1), At(data, i + 2), At(data, i + 3)));
}

// Packed text of the given number of 3-byte groups starting at byte i.
inline std::string Text(TAnswerData data, std::size_t i, int groups) {
  return UnpackText(i < data.size() ? data.subspan(i) : TAnswerData{}, groups);
}

}  // namespace answer
