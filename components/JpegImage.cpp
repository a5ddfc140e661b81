#include "JpegImage.h"

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "JpegCoefficients.h"
#include "JpegScans.h"

// Everything libjpeg touches; plain data, so a longjmp out of the library never skips a
// destructor. The coefficient store comes first: its callbacks find it through client_data.
struct JpegState {
  TJpegCoefficients coefficients;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool created;
};
static_assert(std::is_standard_layout_v<JpegState> && offsetof(JpegState, coefficients) == 0);

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
bool TooManyScans(JpegState* s, int scans) {
  if (scans <= TJpegImage::kMaxScans) return false;
  std::snprintf(s->message, JMSG_LENGTH_MAX, "Too many scans (more than %d)",
                TJpegImage::kMaxScans);
  return true;
}

void CheckScans(j_common_ptr c) {
  JpegState* s = static_cast<JpegState*>(c->client_data);
  if (TooManyScans(s, s->cinfo.input_scan_number)) Bail(c);
}

// The steps below are the only places that call libjpeg. Each sets the jump target first
// and holds no C++ objects, and returns false when libjpeg failed.

// The smallest scale in eighths whose output still covers least; 8 (whole) when none does.
unsigned ScaleFor(const jpeg_decompress_struct& c, QSize least) {
  if (!least.isValid() || least.isEmpty()) return 8;
  for (unsigned eighths = 1; eighths < 8; ++eighths) {
    const unsigned long long w = (c.image_width * 1ULL * eighths + 7) / 8;
    const unsigned long long h = (c.image_height * 1ULL * eighths + 7) / 8;
    if (w >= unsigned(least.width()) && h >= unsigned(least.height())) return eighths;
  }
  return 8;
}

bool StepHeader(JpegState* s, const std::string* data, bool gray, bool smooth, QSize least) {
  if (setjmp(s->jump)) return false;
  s->cinfo.err = jpeg_std_error(&s->err);
  s->err.error_exit = FailExit;
  s->err.emit_message = EmitMessage;
  s->cinfo.client_data = s;
  jpeg_create_decompress(&s->cinfo);
  s->created = true;
  s->coefficients.Install(&s->cinfo);
  s->progress.progress_monitor = CheckScans;
  s->cinfo.progress = &s->progress;
  jpeg_mem_src(&s->cinfo, reinterpret_cast<const unsigned char*>(data->data()), data->size());
  jpeg_read_header(&s->cinfo, TRUE);
  // libjpeg cannot turn CMYK into RGB; such pictures come out as CMYK and are converted here.
  const J_COLOR_SPACE in = s->cinfo.jpeg_color_space;
  s->cinfo.out_color_space = in == JCS_CMYK || in == JCS_YCCK ? JCS_CMYK
                             : gray                           ? JCS_GRAYSCALE
                                                              : JCS_RGB;
  s->cinfo.scale_num = ScaleFor(s->cinfo, least);
  s->cinfo.scale_denom = 8;
  s->cinfo.dct_method = JDCT_ISLOW;
  s->cinfo.do_fancy_upsampling = TRUE;
  s->cinfo.do_block_smoothing = smooth ? TRUE : FALSE;
  s->cinfo.quantize_colors = FALSE;
  s->cinfo.buffered_image = jpeg_has_multiple_scans(&s->cinfo);
  jpeg_calc_output_dimensions(&s->cinfo);
  return true;
}

bool StepStart(JpegState* s) {
  if (setjmp(s->jump)) return false;
  jpeg_start_decompress(&s->cinfo);
  return true;
}

// Reads input until one more scan is complete or the file ends, or at most `rows` rows of
// blocks of a scan (status JPEG_ROW_COMPLETED then: call again for the rest).
bool StepConsume(JpegState* s, int rows, int* status) {
  if (setjmp(s->jump)) return false;
  // The parameters stay as they were at the setjmp; only locals born after it change.
  for (int done = 0;;) {
    const int r = jpeg_consume_input(&s->cinfo);
    if (TooManyScans(s, s->cinfo.input_scan_number)) return false;
    if (r == JPEG_REACHED_SOS || (r == JPEG_ROW_COMPLETED && ++done < rows)) continue;
    *status = r;
    return true;
  }
}

bool StepStartOutput(JpegState* s, int scan) {
  if (setjmp(s->jump)) return false;
  jpeg_start_output(&s->cinfo, scan);
  return true;
}

// Up to `rows` more rows of the output pass into the rows at bits.
bool StepRows(JpegState* s, unsigned char* bits, long stride, int rows) {
  if (setjmp(s->jump)) return false;
  j_decompress_ptr c = &s->cinfo;
  for (int left = rows; left > 0 && c->output_scanline < c->output_height; --left) {
    JSAMPROW row = bits + stride * c->output_scanline;
    if (jpeg_read_scanlines(c, &row, 1) != 1) {
      std::snprintf(s->message, JMSG_LENGTH_MAX, "Unexpected end of picture data");
      return false;
    }
  }
  return true;
}

bool StepFinishOutput(JpegState* s) {
  if (setjmp(s->jump)) return false;
  jpeg_finish_output(&s->cinfo);
  return true;
}

bool StepFinish(JpegState* s) {
  if (setjmp(s->jump)) return false;
  jpeg_finish_decompress(&s->cinfo);
  return true;
}

// The frame's components and the size of their output blocks at the scale chosen.
std::vector<TJpegScans::Component> Components(const jpeg_decompress_struct& c) {
  std::vector<TJpegScans::Component> components;
  for (int i = 0; i < c.num_components; ++i)
    components.push_back({c.comp_info[i].component_id, c.comp_info[i].DCT_scaled_size});
  return components;
}

}  // namespace

TJpegImage::TJpegImage(std::string data, bool grayscale, bool smoothing, bool scan_by_scan,
                       QSize least)
    : data_(std::move(data)), state_(std::make_unique<JpegState>()), grayscale_(grayscale) {
  JpegState* s = state_.get();
  if (!StepHeader(s, &data_, grayscale, smoothing, least)) Fail();
  if (s->cinfo.progressive_mode && s->cinfo.scale_num < s->cinfo.scale_denom)
    LeaveOutUnusedScans(grayscale, least);
  // The limit is on the picture as stored: the decoder holds all of it for a progressive file.
  const long long storedW = s->cinfo.image_width;
  const long long storedH = s->cinfo.image_height;
  if (storedW * storedH > kMaxPixels) {
    std::snprintf(s->message, JMSG_LENGTH_MAX, "Picture too large (%lldx%lld)", storedW, storedH);
    Fail();
  }
  const long long w = s->cinfo.output_width;
  const long long h = s->cinfo.output_height;
  buffered_ = s->cinfo.buffered_image;
  scan_by_scan_ = scan_by_scan;
  stored_ = QSize(int(storedW), int(storedH));
  shown_scans_ = int(std::clamp(kMaxShownPixels / std::max(storedW * storedH, 1LL), 1LL,
                                static_cast<long long>(kMaxShownScans)));
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

// Reduced, a progressive picture needs only the scans of the coefficients its output blocks
// are made of: a cover of hundreds of scans shown small then costs a few of them. The file
// is read again without the others.
void TJpegImage::LeaveOutUnusedScans(bool grayscale, QSize least) {
  JpegState* s = state_.get();
  std::string fewer;
  {
    const TJpegScans scans(data_);
    if (TooManyScans(s, scans.Count())) Fail();
    fewer = scans.WithoutUnused(Components(s->cinfo));
  }
  if (fewer.empty()) return;
  jpeg_destroy_decompress(&s->cinfo);
  s->created = false;
  data_ = std::move(fewer);
  // Smoothing guesses the coefficients still missing; those left out are missing for good,
  // and every pass would pay for guessing what the reduced blocks never show.
  if (!StepHeader(s, &data_, grayscale, false, least)) Fail();
}

TJpegImage::~TJpegImage() {
  if (state_ && state_->created) jpeg_destroy_decompress(&state_->cinfo);
}

void TJpegImage::Yield() {
  if (yield_) yield_();
}

// One output pass in slices, with a yield after each: scan `scan` of a buffered file, or (scan
// 0) the whole picture, which also finishes the decompression.
void TJpegImage::OutputPass(int scan) {
  JpegState* s = state_.get();
  if (scan > 0 && !StepStartOutput(s, scan)) Fail();
  while (s->cinfo.output_scanline < s->cinfo.output_height) {
    if (!StepRows(s, image_.bits(), image_.bytesPerLine(), kSliceRows)) Fail();
    Yield();
  }
  if (!(scan > 0 ? StepFinishOutput(s) : StepFinish(s))) Fail();
}

bool TJpegImage::NextPass() {
  if (complete_) return false;
  JpegState* s = state_.get();
  if (!buffered_) {
    OutputPass(0);
    complete_ = true;
    return true;
  }
  // Past the scans shown one by one, the rest is read at once (shown as one pass).
  const bool toEnd = !scan_by_scan_ || last_scan_ >= shown_scans_;
  int status = 0;
  do {
    if (!StepConsume(s, kSliceRows, &status)) Fail();
    Yield();
  } while (status == JPEG_ROW_COMPLETED || (toEnd && status == JPEG_SCAN_COMPLETED));
  const int scan = s->cinfo.input_scan_number;
  if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED) {
    complete_ = true;
    // The last scan may already be on show; then only the decompression is finished.
    if (scan == last_scan_) {
      if (!StepFinish(s)) Fail();
      return false;
    }
  }
  OutputPass(scan);
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
