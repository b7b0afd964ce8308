#include "MvFailedCheck.h"

#include "MvAssert.h"

#include <gtest/gtest.h>

#include <string>

// The pattern of a failed check takes the condition literally: regular-expression
// characters in it match only themselves.

namespace {

const char kCondition[] = "a[i] != nullptr && (x | y)";

// A check written with the condition above, failing.
void FailTheCheck()
{
    const int* a[1] = {nullptr};
    const int i = 0, x = 0, y = 0;
    MvAssert(a[i] != nullptr && (x | y));
}

TEST(MvFailedCheck, MatchesTheMessageOfItsOwnCheck)
{
    EXPECT_DEATH(FailTheCheck(), MvFailedCheck(kCondition));
}

// Against the message "Assertion failed: <condition>": only the condition itself matches,
// not one that the unescaped pattern would also accept.
TEST(MvFailedCheck, MatchesItsConditionAndNoOther)
{
    const std::string pattern = MvFailedCheck(kCondition);
    const struct {
        const char* condition;
        bool matches;
    } cases[] = {
        {"a[i] != nullptr && (x | y)", true},
        {"a[j] != nullptr && (x | y)", false},
        {"a[i] != nullptr && (x || y)", false},
        {"i != nullptr", false},
    };
    for (const auto& c : cases) {
        const std::string message = std::string("Assertion failed: ") + c.condition + ", file MvThing.cpp, line 12\n";
        EXPECT_EQ(c.matches, testing::internal::RE::PartialMatch(message, testing::internal::RE(pattern)))
            << c.condition;
    }
}

// The condition taken as a raw pattern would accept a message it does not name ("a[i]"
// reads as "ai", "(x | y)" as "x " or " y"); the escaped pattern refuses it.
TEST(MvFailedCheck, RegexCharactersMatchOnlyThemselves)
{
    const std::string message = "Assertion failed: ai != nullptr && x , file MvThing.cpp, line 12\n";
    const std::string raw = std::string("Assertion failed: ") + kCondition;
    EXPECT_TRUE(testing::internal::RE::PartialMatch(message, testing::internal::RE(raw)));
    EXPECT_FALSE(testing::internal::RE::PartialMatch(message, testing::internal::RE(MvFailedCheck(kCondition))));
}

} // namespace
