#include "JpegImage.h"

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>

// Everything libjpeg touches; plain data, so a longjmp out of the library never skips a
// destructor.
struct JpegState {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool created;
};

namespace {

// libjpeg's way out of a failure: back to the setjmp of the step that called it.
[[noreturn]] void Bail(j_common_ptr c) {
  std::longjmp(static_cast<JpegState*>(c->client_data)->jump, 1);
}

[[noreturn]] void FailExit(j_common_ptr c) {
  c->err->format_message(c, static_cast<JpegState*>(c->client_data)->message);
  Bail(c);
}

// Warnings that mean lost picture data (a truncated or damaged stream) fail the load; the
// harmless ones are ignored, as are trace messages.
void EmitMessage(j_common_ptr c, int level) {
  if (level >= 0) return;
  switch (c->err->msg_code) {
    case JWRN_ADOBE_XFORM:
    case JWRN_JFIF_MAJOR:
    case JWRN_BOGUS_ICC:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_TOO_MUCH_DATA:
      return;
    default:
      FailExit(c);
  }
}

// Thousands of tiny scans make every scan cost a walk over the whole picture: refuse them.
bool TooManyScans(JpegState* s) {
  if (s->cinfo.input_scan_number <= TJpegImage::kMaxScans) return false;
  std::snprintf(s->message, JMSG_LENGTH_MAX, "Too many scans (more than %d)",
                TJpegImage::kMaxScans);
  return true;
}

void CheckScans(j_common_ptr c) {
  if (TooManyScans(static_cast<JpegState*>(c->client_data))) Bail(c);
}

// The steps below are the only places that call libjpeg. Each sets the jump target first
// and holds no C++ objects, and returns false when libjpeg failed.

bool StepHeader(JpegState* s, const std::string* data, bool gray, bool smooth, bool scan_by_scan) {
  if (setjmp(s->jump)) return false;
  s->cinfo.err = jpeg_std_error(&s->err);
  s->err.error_exit = FailExit;
  s->err.emit_message = EmitMessage;
  s->cinfo.client_data = s;
  jpeg_create_decompress(&s->cinfo);
  s->created = true;
  s->progress.progress_monitor = CheckScans;
  s->cinfo.progress = &s->progress;
  jpeg_mem_src(&s->cinfo, reinterpret_cast<const unsigned char*>(data->data()), data->size());
  jpeg_read_header(&s->cinfo, TRUE);
  // libjpeg cannot turn CMYK into RGB; such pictures come out as CMYK and are converted here.
  const J_COLOR_SPACE in = s->cinfo.jpeg_color_space;
  s->cinfo.out_color_space = in == JCS_CMYK || in == JCS_YCCK ? JCS_CMYK
                             : gray                           ? JCS_GRAYSCALE
                                                              : JCS_RGB;
  s->cinfo.scale_num = 1;
  s->cinfo.scale_denom = 1;
  s->cinfo.dct_method = JDCT_ISLOW;
  s->cinfo.do_fancy_upsampling = TRUE;
  s->cinfo.do_block_smoothing = smooth ? TRUE : FALSE;
  s->cinfo.quantize_colors = FALSE;
  s->cinfo.buffered_image = scan_by_scan && jpeg_has_multiple_scans(&s->cinfo);
  jpeg_calc_output_dimensions(&s->cinfo);
  return true;
}

bool StepStart(JpegState* s) {
  if (setjmp(s->jump)) return false;
  jpeg_start_decompress(&s->cinfo);
  return true;
}

// Reads input until one more scan is complete, or with to_end until the end of the file.
bool StepConsume(JpegState* s, bool to_end, int* status) {
  if (setjmp(s->jump)) return false;
  for (;;) {
    const int r = jpeg_consume_input(&s->cinfo);
    if (TooManyScans(s)) return false;
    if (r == JPEG_REACHED_EOI || r == JPEG_SUSPENDED || (r == JPEG_SCAN_COMPLETED && !to_end)) {
      *status = r;
      return true;
    }
  }
}

// One output pass into the rows at bits: scan `scan` of a buffered file, or (scan 0) the
// whole picture, which also finishes the decompression.
bool StepPass(JpegState* s, unsigned char* bits, long stride, int scan) {
  if (setjmp(s->jump)) return false;
  j_decompress_ptr c = &s->cinfo;
  if (scan > 0) jpeg_start_output(c, scan);
  while (c->output_scanline < c->output_height) {
    JSAMPROW row = bits + stride * c->output_scanline;
    if (jpeg_read_scanlines(c, &row, 1) != 1) {
      std::snprintf(s->message, JMSG_LENGTH_MAX, "Unexpected end of picture data");
      return false;
    }
  }
  if (scan > 0) {
    jpeg_finish_output(c);
  } else {
    jpeg_finish_decompress(c);
  }
  return true;
}

bool StepFinish(JpegState* s) {
  if (setjmp(s->jump)) return false;
  jpeg_finish_decompress(&s->cinfo);
  return true;
}

}  // namespace

TJpegImage::TJpegImage(std::string data, bool grayscale, bool smoothing, bool scan_by_scan)
    : data_(std::move(data)), state_(std::make_unique<JpegState>()), grayscale_(grayscale) {
  JpegState* s = state_.get();
  if (!StepHeader(s, &data_, grayscale, smoothing, scan_by_scan)) Fail();
  const long long w = s->cinfo.output_width;
  const long long h = s->cinfo.output_height;
  if (w * h > kMaxPixels) {
    std::snprintf(s->message, JMSG_LENGTH_MAX, "Picture too large (%lldx%lld)", w, h);
    Fail();
  }
  buffered_ = s->cinfo.buffered_image;
  cmyk_ = s->cinfo.out_color_space == JCS_CMYK;
  // Adobe applications store CMYK inverted.
  adobe_ = s->cinfo.saw_Adobe_marker;
  image_ = QImage(int(w), int(h),
                  cmyk_       ? QImage::Format_RGB32
                  : grayscale ? QImage::Format_Grayscale8
                              : QImage::Format_RGB888);
  if (image_.isNull()) {
    std::snprintf(s->message, JMSG_LENGTH_MAX, "Not enough memory for the picture");
    Fail();
  }
  image_.fill(0);
  if (!StepStart(s)) Fail();
}

TJpegImage::~TJpegImage() {
  if (state_ && state_->created) jpeg_destroy_decompress(&state_->cinfo);
}

bool TJpegImage::NextPass() {
  if (complete_) return false;
  JpegState* s = state_.get();
  if (!buffered_) {
    if (!StepPass(s, image_.bits(), image_.bytesPerLine(), 0)) Fail();
    complete_ = true;
    return true;
  }
  int status = 0;
  if (!StepConsume(s, last_scan_ >= kMaxShownScans, &status)) Fail();
  const int scan = s->cinfo.input_scan_number;
  if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED) {
    complete_ = true;
    // The last scan may already be on show; then only the decompression is finished.
    if (scan == last_scan_) {
      if (!StepFinish(s)) Fail();
      return false;
    }
  }
  if (!StepPass(s, image_.bits(), image_.bytesPerLine(), scan)) Fail();
  last_scan_ = scan;
  if (complete_ && !StepFinish(s)) Fail();
  return true;
}

QImage TJpegImage::Image() const {
  if (!cmyk_) return grayscale_ ? image_.convertToFormat(QImage::Format_RGB888) : image_;
  QImage rgb(image_.width(), image_.height(), QImage::Format_RGB888);
  const int flip = adobe_ ? 0 : 255;
  for (int y = 0; y < image_.height(); ++y) {
    const uchar* in = image_.constScanLine(y);
    uchar* out = rgb.scanLine(y);
    for (int x = 0; x < image_.width(); ++x, in += 4, out += 3) {
      const int k = in[3] ^ flip;
      for (int i = 0; i < 3; ++i) out[i] = uchar((in[i] ^ flip) * k / 255);
    }
  }
  return grayscale_
             ? rgb.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB888)
             : rgb;
}

QImage TJpegImage::Decode(std::string data, bool grayscale, bool smoothing) {
  TJpegImage jpeg(std::move(data), grayscale, smoothing, false);
  jpeg.NextPass();
  return jpeg.Image();
}

void TJpegImage::Fail() {
  const std::string reason = std::string("JPEG error: ") + state_->message;
  if (state_->created) jpeg_destroy_decompress(&state_->cinfo);
  state_->created = false;
  complete_ = true;
  throw std::runtime_error(reason);
}
