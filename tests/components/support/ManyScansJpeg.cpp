#include "ManyScansJpeg.h"

#include <cstdlib>

std::string ManyScansJpeg(const QImage& picture, int levels) {
  std::vector<jpeg_scan_info> script;
  script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
  for (int c = 0; c < 3; ++c) {
    for (int k = 1; k < 64; ++k) {
      for (int al = levels - 1; al >= 0; --al) {
        script.push_back({1, {c}, k, k, al == levels - 1 ? 0 : al + 1, al});
      }
    }
  }
  return ProgressiveJpeg(picture, script);
}

std::string ProgressiveJpeg(const QImage& picture, const std::vector<jpeg_scan_info>& script,
                            bool fullColour, int restartRows) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = JDIMENSION(rgb.width());
  cinfo.image_height = JDIMENSION(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (fullColour) cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
  cinfo.restart_in_rows = restartRows;
  cinfo.scan_info = script.data();
  cinfo.num_scans = int(script.size());
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  free(out);
  return bytes;
}
