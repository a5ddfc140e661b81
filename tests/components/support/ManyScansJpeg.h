// Progressive JPEG files made with libjpeg's own encoder from a scan script: ManyScansJpeg
// sends one scan per AC coefficient and component, each coefficient in `levels` successive-
// approximation steps, so 1 + 189 * levels scans in all.
#pragma once

#include <QImage>
#include <cstdio>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

std::string ManyScansJpeg(const QImage& picture, int levels);

// A progressive file of the given scans, its colour halved each way (as usual) or at full
// resolution; with restartRows, a restart marker after every that many rows of blocks.
std::string ProgressiveJpeg(const QImage& picture, const std::vector<jpeg_scan_info>& script,
                            bool fullColour = false, int restartRows = 0);
