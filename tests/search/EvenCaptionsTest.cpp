// The search side's windows read evenly at the desktop font: one text size per
// window, at which every caption shows whole.

#include "platform/Forms.h"
#include "search/ListOptions.h"
#include "search/LocalLoc.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "search/SelectDrive.h"
#include "support/EvenCaptions.h"
#include "support/TestEnvironment.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct WindowCase {
    const char* name;
    std::function<QWidget*()> make;
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

class EvenCaptionsTest : public ::testing::TestWithParam<WindowCase> {
protected:
    void SetUp() override { ListSearch = ListSearchModule{}; }
    void TearDown() override
    {
        platform::Forms::reset();
        ListSearch = ListSearchModule{};
    }
    TestEnvironment env;
};

TEST_P(EvenCaptionsTest, OneTextSizeAtWhichEveryCaptionFits)
{
    const std::unique_ptr<QWidget> window(GetParam().make());
    expectEvenCaptionsThatFit(*window);
}

INSTANTIATE_TEST_SUITE_P(Windows, EvenCaptionsTest,
                         ::testing::Values(WindowCase{"Search", [] { return new SearchForm; }},
                                           WindowCase{"Options", [] { return new ListOptions; }},
                                           WindowCase{"Locations", [] { return new LocalLoc; }},
                                           WindowCase{"CdDrive", [] { return new SelectDrive; }}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
