// The record's SHA-256 through the system's library, against the example
// messages of FIPS 180-4 (nettle here, BCrypt under Wine).

#include <gtest/gtest.h>

#include <string>

#include "Sha256.h"

TEST(Sha256, ExampleMessagesGiveTheirPublishedDigests)
{
    struct Row {
        std::string message;
        const char* digest;
    };
    const Row rows[] = {
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Sha256Hex(row.message), row.digest) << row.message.size() << " bytes";
}
