#include "common/trap.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Report {
    std::string message;
    int code;
    std::string source;
    bool operator==(const Report&) const = default;
    friend void PrintTo(const Report& r, std::ostream* os) {
        *os << "{\"" << r.message << "\", " << r.code << ", \"" << r.source << "\"}";
    }
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

// Counts its calls, then throws what is no std::exception.
int refusedOddly = 0;
void RefuseOddly(const std::string&, int, const std::string&) {
    ++refusedOddly;
    throw 42;
}

// Not derived from std::exception.
struct OddError {};

constexpr common::Trapper<&Record> Trapped{};
constexpr common::Guard<&Record> Guarded{};

class TrapTest : public ::testing::Test {
  protected:
    void SetUp() override { Reports().clear(); }
    void TearDown() override { Reports().clear(); }
};

TEST_F(TrapTest, AnErrorIsReportedWithTheLastStepAfterTheCleanUp) {
    enum class CleanUp { Works, ThrowsStd, ThrowsOther };
    struct Case {
        common::Trap trap;
        CleanUp cleanUp;
        Report expected;
    };
    const Case cases[] = {
        {{"Plovanex.Numbered", 1, true},
         CleanUp::Works,
         {"Error occurred at line 4.  Reason: gone", 1, "Plovanex.Numbered"}},
        {{"Plain", 0, false}, CleanUp::Works, {"Error occurred.  Reason: gone", 0, "Plain"}},
        {{"Plovanex.CleanUpFails"},
         CleanUp::ThrowsStd,
         {"Error occurred at line 4.  Reason: gone", 1, "Plovanex.CleanUpFails"}},
        {{"Plovanex.CleanUpFailsOddly"},
         CleanUp::ThrowsOther,
         {"Error occurred at line 4.  Reason: gone", 1, "Plovanex.CleanUpFailsOddly"}},
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
                if (c.cleanUp == CleanUp::ThrowsStd) {
                    throw std::runtime_error("clean-up failed");
                }
                if (c.cleanUp == CleanUp::ThrowsOther) {
                    throw OddError{};
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

// The three ways a library catches an error: its trap, numbered and plain,
// and its guard. Each runs `fail` and gives the report it should make of
// an error with `description`.
struct Catcher {
    const char* name;
    std::function<void(const std::function<void()>& fail)> run;
    std::function<Report(const std::string& description)> expected;
};

template <common::Reporter report>
std::vector<Catcher> Catchers() {
    constexpr common::Trapper<report> trapped{};
    constexpr common::Guard<report> guarded{};
    return {
        {"Trapped, numbered",
         [=](const auto& fail) {
             trapped({"Plovanex.Numbered"}, [&](long& step) {
                 step = 3;
                 fail();
             });
         },
         [](const std::string& d) {
             return Report{common::ErrorAtLine(3, d), 1, "Plovanex.Numbered"};
         }},
        {"Trapped, plain, with a value",
         [=](const auto& fail) {
             trapped({"Plovanex.Plain", 0, false}, [&](long&) {
                 fail();
                 return 7;
             });
         },
         [](const std::string& d) {
             return Report{common::ErrorOccurred(d), 0, "Plovanex.Plain"};
         }},
        {"Guarded", [=](const auto& fail) { guarded("cmdOk_Click", fail); },
         [](const std::string& d) {
             return Report{common::ErrorOccurred(d), 1, "Plovanex.cmdOk_Click"};
         }},
    };
}

TEST_F(TrapTest, EveryKindOfErrorIsReportedOnce) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::string description;
    };
    const Case cases[] = {
        {"std::exception", [] { throw std::runtime_error("gone"); }, "gone"},
        {"a class of its own", [] { throw OddError{}; }, common::kUnknownErrorDescription},
    };
    for (const auto& catcher : Catchers<&Record>()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(catcher.name) + ", " + c.name);
            Reports().clear();
            EXPECT_NO_THROW(catcher.run(c.fail));
            EXPECT_EQ(Reports(), std::vector<Report>{catcher.expected(c.description)});
        }
    }
}

TEST_F(TrapTest, AReportThatThrowsIsTriedOnceAndDropped) {
    for (const auto& catcher : Catchers<&RefuseOddly>()) {
        for (const auto& fail : std::vector<std::function<void()>>{
                 [] { throw std::runtime_error("gone"); }, [] { throw OddError{}; }}) {
            SCOPED_TRACE(catcher.name);
            refusedOddly = 0;
            EXPECT_NO_THROW(catcher.run(fail));
            EXPECT_EQ(refusedOddly, 1);
        }
    }
    for (const auto& catcher : Catchers<&Refuse>()) {
        SCOPED_TRACE(catcher.name);
        EXPECT_NO_THROW(catcher.run([] { throw std::runtime_error("gone"); }));
    }
}

}  // namespace
