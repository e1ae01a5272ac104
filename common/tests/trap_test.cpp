#include "common/trap.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Report {
    std::string message;
    int code;
    std::string source;
    bool operator==(const Report&) const = default;
};

std::vector<Report>& Reports() {
    static std::vector<Report> reports;
    return reports;
}

void Record(const std::string& message, int code, const std::string& source) {
    Reports().push_back({message, code, source});
}

void Refuse(const std::string&, int, const std::string&) {
    throw std::runtime_error("no sink");
}

constexpr common::Trapper<&Record> Trapped{};
constexpr common::Guard<&Record> Guarded{};

class TrapTest : public ::testing::Test {
  protected:
    void SetUp() override { Reports().clear(); }
    void TearDown() override { Reports().clear(); }
};

TEST_F(TrapTest, AnErrorIsReportedWithTheLastStepAfterTheCleanUp) {
    struct Case {
        common::Trap trap;
        bool cleanUpThrows;
        Report expected;
    };
    const Case cases[] = {
        {{"Plovanex.Numbered", 1, true},
         false,
         {"Error occurred at line 4.  Reason: gone", 1, "Plovanex.Numbered"}},
        {{"Plain", 0, false}, false, {"Error occurred.  Reason: gone", 0, "Plain"}},
        {{"Plovanex.CleanUpFails"},
         true,
         {"Error occurred at line 4.  Reason: gone", 1, "Plovanex.CleanUpFails"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trap.source);
        Reports().clear();
        bool cleanedUpBeforeReport = false;
        const bool ran = Trapped(
            c.trap,
            [](long& step) {
                step = 2;
                step = 4;
                throw std::runtime_error("gone");
            },
            [&] {
                cleanedUpBeforeReport = Reports().empty();
                if (c.cleanUpThrows) {
                    throw std::runtime_error("clean-up failed");
                }
            });
        EXPECT_FALSE(ran);
        EXPECT_TRUE(cleanedUpBeforeReport);
        EXPECT_EQ(Reports(), std::vector<Report>{c.expected});
    }
}

TEST_F(TrapTest, ABodyWithAValueGivesItOrTheEmptyValue) {
    const common::Trap trap{"Plovanex.Value"};
    EXPECT_TRUE(Trapped(trap, [](long&) {}));
    EXPECT_EQ(Trapped(trap, [](long&) { return std::string("found"); }), "found");
    EXPECT_EQ(Trapped(trap, [](long&) { return 7; }), 7);
    EXPECT_TRUE(Reports().empty());

    const auto fails = [](long&) -> std::string { throw std::runtime_error("gone"); };
    EXPECT_EQ(Trapped(trap, fails), "");
    EXPECT_EQ(Trapped(trap, [](long&) -> bool { throw std::runtime_error("gone"); }), false);
    EXPECT_EQ(Reports().size(), 2U);
}

TEST_F(TrapTest, AGuardReportsPlainAndDropsAReportThatFails) {
    Guarded("cmdOk_Click", [] { throw std::runtime_error("gone"); });
    EXPECT_EQ(Reports(),
              (std::vector<Report>{{"Error occurred.  Reason: gone", 1, "Plovanex.cmdOk_Click"}}));

    constexpr common::Guard<&Refuse> refusing{};
    EXPECT_NO_THROW(refusing("cmdOk_Click", [] { throw std::runtime_error("gone"); }));
}

}  // namespace
