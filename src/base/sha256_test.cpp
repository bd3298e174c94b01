#include "base/sha256.h"

#include <gtest/gtest.h>

#include <string>

TEST(Sha256, KnownTexts) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the length no longer fits the block of the last bytes.
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char>('A' + i % 53);
  for (std::size_t piece : {1u, 7u, 63u, 64u, 65u, 1000u}) {
    Sha256 digest;
    for (std::size_t at = 0; at < text.size(); at += piece)
      digest.Update(std::string_view(text).substr(at, piece));
    EXPECT_EQ(digest.HexDigest(), Sha256Hex(text)) << piece;
  }
}
