#include "runtime/Strings.h"

#include <gtest/gtest.h>

namespace {

struct TrimCase {
    const char* text;
    const char* trimmed;
};

class TrimBlanksTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimBlanksTest, DropsOnlyTheBlanksAtTheEnds)
{
    EXPECT_EQ(runtime::trimBlanks(QString::fromLatin1(GetParam().text)), QString::fromLatin1(GetParam().trimmed));
}

INSTANTIATE_TEST_SUITE_P(Texts, TrimBlanksTest,
                         ::testing::Values(TrimCase{"  Art ", "Art"}, TrimCase{"Clip  Art", "Clip  Art"},
                                           TrimCase{"   ", ""}, TrimCase{"", ""},
                                           TrimCase{"\tArt\t", "\tArt\t"}, TrimCase{" \tArt \n ", "\tArt \n"}));

}  // namespace
