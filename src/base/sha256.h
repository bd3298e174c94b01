// SHA-256 of a text, for the call log: a shop can tell from the log which
// program file was cut from which job, byte for byte.
#ifndef BARPOST_BASE_SHA256_H_
#define BARPOST_BASE_SHA256_H_

#include <string>
#include <string_view>

// The digest of data as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view data);

#endif  // BARPOST_BASE_SHA256_H_
