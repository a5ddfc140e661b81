#include "TempTree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

std::string TempTree::File(const std::string& relative, const std::string& text) {
  const std::string path = Path(relative);
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::ofstream file(path, std::ios::binary);
  EXPECT_TRUE(file.is_open()) << path;
  file.write(text.data(), std::streamsize(text.size()));
  return path;
}

std::string TempTree::Folder(const std::string& relative) {
  const std::string path = Path(relative);
  std::error_code error;
  std::filesystem::create_directories(path, error);
  EXPECT_TRUE(std::filesystem::is_directory(path)) << path << ": " << error.message();
  return path;
}

void TempTree::Link(const std::string& relative, const std::string& target) {
  EXPECT_EQ(symlink(target.c_str(), Path(relative).c_str()), 0) << relative;
}
