#include "settings/run_value.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "testing/utf16.h"

namespace {

// The data a REG_SZ query returns for a text.
std::vector<std::byte> Data(std::u16string_view text) {
    return Utf16Bytes<std::vector<std::byte>>(text);
}

const std::u16string PATH = u"C:\\Program Files\\Velmor\\clock.exe";

TEST(RunValue, QuotedPath) {
    EXPECT_EQ(QuotedPath(PATH), u"\"C:\\Program Files\\Velmor\\clock.exe\"");
    EXPECT_EQ(QuotedPath(u""), u"\"\"");
}

TEST(RunValue, MatchesExactTextUpToTheFirstNul) {
    const std::u16string quoted = QuotedPath(PATH);
    auto withNul = Data(quoted + u'\0');
    EXPECT_TRUE(RunValueMatches(withNul, quoted));
    // Stored without its NUL, or with anything after the NUL.
    EXPECT_TRUE(RunValueMatches(Data(quoted), quoted));
    EXPECT_TRUE(RunValueMatches(Data(quoted + u'\0' + u"junk"), quoted));
    // An odd trailing zero byte is part of a NUL; an odd non-zero byte is a character.
    auto odd = Data(quoted);
    odd.push_back(std::byte{0});
    EXPECT_TRUE(RunValueMatches(odd, quoted));
    odd.back() = std::byte{'x'};
    EXPECT_FALSE(RunValueMatches(odd, quoted));
}

TEST(RunValue, AnythingElseDoesNotMatch) {
    const std::u16string quoted = QuotedPath(PATH);
    EXPECT_FALSE(RunValueMatches(Data(PATH + u'\0'), quoted)); // unquoted
    EXPECT_FALSE(RunValueMatches(Data(QuotedPath(u"c:\\program files\\velmor\\clock.exe")), quoted));
    EXPECT_FALSE(RunValueMatches(Data(QuotedPath(u"D:\\Other\\clock.exe")), quoted));
    EXPECT_FALSE(RunValueMatches(Data(quoted.substr(0, quoted.size() - 1)), quoted)); // shorter
    EXPECT_FALSE(RunValueMatches(Data(quoted + u" "), quoted));                       // longer
    EXPECT_FALSE(RunValueMatches({}, quoted));
    EXPECT_TRUE(RunValueMatches({}, u""));
}

TEST(RunValue, FullBufferWithoutNulIsReadOnlyToItsEnd) {
    // Exactly the 65,536 bytes a query can return, no NUL anywhere, in a block
    // of exactly that size: the comparison must stop at its end (a sanitizer
    // build reports any read past it).
    constexpr std::size_t BYTES = 65536;
    const std::u16string quoted = QuotedPath(PATH);
    auto data = std::make_unique<std::byte[]>(BYTES);
    const auto prefix = Data(quoted);
    for (std::size_t i = 0; i < BYTES; ++i)
        data[i] = i < prefix.size() ? prefix[i] : i % 2 == 0 ? std::byte{'a'} : std::byte{0};
    const std::span<const std::byte> stored(data.get(), BYTES);
    EXPECT_FALSE(RunValueMatches(stored, quoted));
    // Expected text as long as the whole data: compared to the last byte and no further.
    std::u16string all(BYTES / 2, u'a');
    all.replace(0, quoted.size(), quoted);
    EXPECT_TRUE(RunValueMatches(stored, all));
    all.back() = u'b';
    EXPECT_FALSE(RunValueMatches(stored, all));
}

} // namespace
