// SHA-256 of a text, for the call log: a shop can tell from the log which
// program file was cut from which job, byte for byte.
#ifndef BARPOST_BASE_SHA256_H_
#define BARPOST_BASE_SHA256_H_

#include <string>
#include <string_view>

#include <array>
#include <cstdint>

// A digest fed piece by piece, for a file written as it is made.
class Sha256 {
 public:
  void Update(std::string_view data);
  // 64 lower-case hexadecimal digits; the object is spent afterwards.
  std::string HexDigest();

 private:
  std::array<std::uint32_t, 8> h_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  unsigned char block_[64] = {};
  std::size_t filled_ = 0;
  std::uint64_t bytes_ = 0;
};

// The digest of data as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view data);

#endif  // BARPOST_BASE_SHA256_H_
