// Progressive JPEG files of very many scans, made with libjpeg's own encoder: one scan per AC
// coefficient and component, each coefficient sent in `levels` successive-approximation
// steps, so 1 + 189 * levels scans in all.
#pragma once

#include <QImage>
#include <string>

std::string ManyScansJpeg(const QImage& picture, int levels);
