#include "TempDir.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sonavera-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot create a folder like " + pattern);
  path_ = std::filesystem::canonical(pattern).string();
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
