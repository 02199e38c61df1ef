#include "data/PasswordHash.h"

#include <gtest/gtest.h>

#include <string>

TEST(PasswordHash, AHashIsSaltedSelfDescribingAndVerifiesOnlyItsPassword) {
    for (const std::string& password :
         std::initializer_list<std::string>{"", "密码'😀 \" ;", std::string(500, 'x')}) {
        const std::string first = HashPassword(password);
        const std::string second = HashPassword(password);
        EXPECT_NE(first, second);  // a fresh salt each time
        EXPECT_TRUE(first.starts_with("$argon2id$v=19$m=19456,t=2,p=1$")) << first;
        EXPECT_TRUE(IsPasswordHash(first));
        EXPECT_TRUE(PasswordMatches(first, password));
        EXPECT_FALSE(PasswordMatches(first, password + " "));
        EXPECT_FALSE(PasswordMatches(first, first));
    }
    EXPECT_FALSE(PasswordMatches(HashPassword("kerno482"), "KERNO482"));
}

TEST(PasswordHash, TextNotInTheHashFormIsComparedExactly) {
    EXPECT_TRUE(PasswordMatches("kerno482", "kerno482"));
    EXPECT_FALSE(PasswordMatches("kerno482", "KERNO482"));
    EXPECT_FALSE(PasswordMatches("kerno482", "kerno482 "));
    EXPECT_FALSE(PasswordMatches("", "kerno482"));
    EXPECT_FALSE(IsPasswordHash("kerno482"));
}

TEST(PasswordHash, ADamagedHashMatchesNothing) {
    const std::string good = HashPassword("kerno482");
    std::string flipped = good;
    flipped.back() = flipped.back() == 'A' ? 'B' : 'A';
    std::string hungry = good;  // asks for 4 GiB and a thousand passes
    hungry.replace(hungry.find("m=19456,t=2"), 11, "m=4194304,t=1000");
    for (const std::string& damaged : std::initializer_list<std::string>{
             "$argon2id$", "$argon2id$v=19$m=65536,t=2,p=1$garbage",
             good.substr(0, good.size() - 5), flipped, hungry, good + std::string(200, 'A')}) {
        EXPECT_TRUE(IsPasswordHash(damaged));
        EXPECT_FALSE(PasswordMatches(damaged, "kerno482")) << damaged;
        EXPECT_FALSE(PasswordMatches(damaged, damaged)) << damaged;
    }
}

TEST(PasswordHash, CostsBeyondWhatAnyVersionWroteAreRefusedUnhashed) {
    // Written by an earlier version with 64 MiB and 2 passes: still verifies.
    const std::string earlier =
        "$argon2id$v=19$m=65536,t=2,p=1$C7eEIktjS2bdeR9A6qinuA$"
        "5x+rOCDbYmzDrhvyoBtKpexObq57IaQ6xGcyyaqwDa0";
    EXPECT_TRUE(PasswordMatches(earlier, "kerno482"));
    EXPECT_FALSE(PasswordMatches(earlier, "kerno483"));
    // More memory, more memory times passes, or more lanes than that: damaged (hashing the
    // first would take many seconds).
    const std::string tail = "$C7eEIktjS2bdeR9A6qinuA$5x+rOCDbYmzDrhvyoBtKpexObq57IaQ6xGcyyaqwDa0";
    for (const char* costs : {"m=262144,t=8,p=32768", "m=65536,t=2,p=2", "m=65536,t=3,p=1",
                              "m=131072,t=1,p=1", "m=19456,t=7,p=1"})
        EXPECT_FALSE(PasswordMatches(std::string("$argon2id$v=19$") + costs + tail, "kerno482"))
            << costs;
}
