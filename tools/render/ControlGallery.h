// Every control of the program on its own, in its typical states, as pictures to look at.
#pragma once

#include <QImage>
#include <string>
#include <utility>
#include <vector>

class TControlGallery {
 public:
  // runtime is the folder beside the executable (SKIN/, pictures/), ending in "/".
  explicit TControlGallery(std::string runtime) : runtime_(std::move(runtime)) {}

  // Name and picture of every sample; throws std::runtime_error when a picture is missing.
  std::vector<std::pair<std::string, QImage>> Render() const;

 private:
  QImage CoolButtons() const;
  QImage GradientBars() const;
  QImage RunLabels() const;
  QImage Pictures() const;
  QImage BandSliders() const;
  QImage Menu() const;
  QImage LinkLabels() const;
  QImage PathLabels() const;
  QImage DriveCombos() const;

  std::string runtime_;
};
