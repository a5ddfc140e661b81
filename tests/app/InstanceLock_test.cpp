// One player per settings file: a second lock on the same file is refused until the first
// lets go, and a missing configuration folder is made.
#include "InstanceLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "TempDir.h"

namespace {

TEST(InstanceLock, ASecondPlayerIsRefusedUntilTheFirstEnds) {
  const TTempDir dir;
  const std::string path = dir.path() + "/new/config/Sonavera.ini.lock";
  auto first = std::make_unique<TInstanceLock>(path);
  EXPECT_TRUE(first->Held());
  EXPECT_TRUE(std::filesystem::exists(path));
  TInstanceLock second(path);
  EXPECT_FALSE(second.Held());
  EXPECT_FALSE(second.TryAgain());
  first.reset();
  EXPECT_TRUE(second.TryAgain());
  EXPECT_TRUE(second.Held());
}

}  // namespace
