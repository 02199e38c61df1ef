#include "platform/ado/ComError.h"

#include <cstdint>

#include <gtest/gtest.h>

struct CodeMeaning {
    std::uint32_t code;
    const char* text;
};

class ComErrorMeaning : public testing::TestWithParam<CodeMeaning> {};

TEST_P(ComErrorMeaning, FollowsTheCodeRules) {
    const CComError e(static_cast<HRESULT>(GetParam().code), "src", "desc");
    EXPECT_EQ(e.ErrorMessage(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ComErrorMeaning,
    testing::Values(
        // System messages lose their trailing CR LF.
        CodeMeaning{0x80004003u, "Invalid pointer"}, CodeMeaning{0x80004005u, "Unspecified error"},
        CodeMeaning{0x8007000Eu, "Not enough storage is available to complete this operation."},
        // Provider range without a system message: distance from 0x80040200.
        CodeMeaning{0x80040201u, "IDispatch error #1"},
        CodeMeaning{0x80040E14u, "IDispatch error #3092"},
        CodeMeaning{0x8004FFFFu, "IDispatch error #65023"},
        // The base of the range itself and codes outside it are unknown.
        CodeMeaning{0x80040200u, "Unknown error 0x80040200"},
        CodeMeaning{0x80050000u, "Unknown error 0x80050000"},
        CodeMeaning{0x800A0CC1u, "Unknown error 0x800A0CC1"},
        CodeMeaning{0x00000001u, "Unknown error 0x1"}));

TEST(ComError, CarriesCodeSourceAndDescription) {
    const CComError e(E_FAIL, "SQLite", "boom");
    EXPECT_EQ(e.Error(), E_FAIL);
    EXPECT_EQ(e.Source(), "SQLite");
    EXPECT_EQ(e.Description(), "boom");
    const CComError bare(E_POINTER);
    EXPECT_EQ(bare.Source(), "");
    EXPECT_EQ(bare.Description(), "");
}
