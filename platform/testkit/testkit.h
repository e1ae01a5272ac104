#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/ostrevane/sink.h"

namespace testkit {

// A fresh OSTREVANE_HOME for one test, removed afterwards, with a capture
// of every report and log line installed as the sink.
class TempHome {
  public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    ostrevane::CaptureSink& Capture() { return *capture_; }

  private:
    std::filesystem::path path_;
    std::string previousHome_;
    bool hadHome_ = false;
    std::shared_ptr<ostrevane::CaptureSink> capture_;
    std::shared_ptr<ostrevane::Sink> previousSink_;
};

// A test fixture that owns a TempHome.
class HomeTest : public ::testing::Test {
  protected:
    TempHome home;
};

}  // namespace testkit
