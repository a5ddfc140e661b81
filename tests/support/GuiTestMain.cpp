// Test main for suites that need Qt: the application object exists only for real runs,
// so test discovery works without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return RUN_ALL_TESTS();
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // No test reads or writes the user's own settings.
  const QTemporaryDir config;
  setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
