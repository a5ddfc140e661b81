// Starting programs detached, and the codes of failed starts.
#include "AppLauncher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "TempDir.h"

using namespace std::chrono_literals;

namespace {

TEST(AppLauncherTest, StartsWithArgumentsWithoutWaiting) {
  TTempDir dir;
  const std::string out = dir.path() + "/out";
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [start] { return std::chrono::steady_clock::now() - start; };
  EXPECT_GE(platform::Launcher().Start("sh", {"-c",
                                              "sleep 0.3; printf '%s|%s' \"$1\" \"$2\" >$3.t; "
                                              "mv $3.t $3",
                                              "sh", "a b", "c", out}),
            32);
  EXPECT_LT(elapsed(), 250ms);  // did not wait for the sleep
  while (!std::filesystem::exists(out) && elapsed() < 10s) std::this_thread::sleep_for(20ms);
  std::ifstream f(out);
  ASSERT_TRUE(f.is_open());
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), "a b|c");
}

TEST(AppLauncherTest, FailedStartsGiveTheirCodes) {
  TTempDir dir;
  const std::string base = dir.path();
  ASSERT_TRUE(std::ofstream(base + "/plain").is_open());
  platform::AppLauncher& l = platform::Launcher();
  EXPECT_EQ(l.Start(base + "/missing", {}), 2);
  EXPECT_EQ(l.Start("no-such-program-anywhere", {}), 2);
  EXPECT_EQ(l.Start(base + "/plain/x", {}), 3);
  EXPECT_EQ(l.Start(base + "/plain", {}), 5);  // not executable
  EXPECT_EQ(platform::LaunchErrorText(l.Start(base + "/missing", {})), "File was not found");
}

}  // namespace
