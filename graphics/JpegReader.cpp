// libjpeg ends a program on an error unless its error handler returns control elsewhere.
// Here the handler jumps back to the function that started the step. Those functions hold
// only plain data, so the jump skips no destructor, and everything they change lives in the
// caller's job record.
#include "JpegReader.h"

#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace qel {

namespace {

struct TJpegErrors {
  jpeg_error_mgr Manager; // first: libjpeg sees this record as its error manager
  jmp_buf Jump;
};

struct TJpegJob {
  jpeg_decompress_struct Info{};
  TJpegErrors Errors{};
  jpeg_progress_mgr Progress{};
  FILE* File = nullptr; // the source: a file, or else the bytes
  const unsigned char* Bytes = nullptr;
  size_t Size = 0;
  int WantWidth = 0; // 0: the full size
  int WantHeight = 0;
  bool Reduced = false;
  bool Created = false;
};

constexpr long kMaxJpegMemory = 512L * 1024 * 1024;

[[noreturn]] void Abort(j_common_ptr info) { longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1); }

// Warnings that mean the data is damaged end the decoding like errors; others are ignored.
void OnMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  switch (info->err->msg_code) {
  case JWRN_ARITH_BAD_CODE:
  case JWRN_BOGUS_PROGRESSION:
  case JWRN_HIT_MARKER:
  case JWRN_HUFF_BAD_CODE:
  case JWRN_JPEG_EOF:
  case JWRN_MUST_RESYNC:
  case JWRN_NOT_SEQUENTIAL:
    Abort(info);
  default:
    break;
  }
}

void OnProgress(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) Abort(info);
}

void SetUp(TJpegJob* job) {
  job->Info.err = jpeg_std_error(&job->Errors.Manager);
  job->Errors.Manager.error_exit = [](j_common_ptr info) { Abort(info); };
  job->Errors.Manager.emit_message = OnMessage;
  job->Errors.Manager.output_message = [](j_common_ptr) {};
  job->Progress.progress_monitor = OnProgress;
}

// Reads the header and chooses the output size and colours. False on any failure.
bool StartJob(TJpegJob* job) {
  if (setjmp(job->Errors.Jump)) return false;
  jpeg_create_decompress(&job->Info);
  job->Created = true;
  job->Info.mem->max_memory_to_use = kMaxJpegMemory;
  job->Info.progress = &job->Progress;
  if (job->File)
    jpeg_stdio_src(&job->Info, job->File);
  else
    jpeg_mem_src(&job->Info, job->Bytes, static_cast<unsigned long>(job->Size));
  if (jpeg_read_header(&job->Info, TRUE) != JPEG_HEADER_OK) return false;
  jpeg_decompress_struct& info = job->Info;
  unsigned side = info.image_width > info.image_height ? info.image_width : info.image_height;
  info.scale_num = 1;
  info.scale_denom = 1;
  while (side > unsigned(kMaxJpegSide) * info.scale_denom && info.scale_denom < 8) info.scale_denom *= 2;
  if (side > unsigned(kMaxJpegSide) * info.scale_denom || side == 0) return false;
  // libjpeg rounds a scaled side up.
  auto covers = [&](unsigned denom) {
    return (info.image_width + denom - 1) / denom >= unsigned(job->WantWidth) &&
           (info.image_height + denom - 1) / denom >= unsigned(job->WantHeight);
  };
  const unsigned needed = info.scale_denom;
  if (job->WantWidth > 0 && job->WantHeight > 0)
    while (info.scale_denom < 8 && covers(info.scale_denom * 2)) info.scale_denom *= 2;
  job->Reduced = info.scale_denom != needed;
  if (job->Reduced) {
    // A picture drawn smaller than it is: the faster transforms lose nothing visible there.
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
  }
  if (info.jpeg_color_space == JCS_GRAYSCALE)
    info.out_color_space = JCS_GRAYSCALE;
  else if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    info.out_color_space = JCS_CMYK;
  else
    info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&job->Info);
  return true;
}

uint32_t ToPixel(const JSAMPLE* s, int components) {
  auto rgb = [](unsigned r, unsigned g, unsigned b) { return 0xFF000000u | (r << 16) | (g << 8) | b; };
  if (components == 1) return rgb(s[0], s[0], s[0]);
  if (components == 4) // CMYK as such files store it, inverted
    return rgb(s[0] * s[3] / 255u, s[1] * s[3] / 255u, s[2] * s[3] / 255u);
  return rgb(s[0], s[1], s[2]);
}

// Decodes every row into the pixels. False on any failure.
bool ReadRows(TJpegJob* job, uint32_t* pixels) {
  if (setjmp(job->Errors.Jump)) return false;
  jpeg_decompress_struct& info = job->Info;
  int components = info.output_components;
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                              info.output_width * components, 1);
  while (info.output_scanline < info.output_height) {
    JDIMENSION y = info.output_scanline;
    if (jpeg_read_scanlines(&info, row, 1) != 1) return false;
    uint32_t* out = pixels + size_t(info.output_width) * y;
    for (JDIMENSION x = 0; x < info.output_width; ++x) out[x] = ToPixel(row[0] + x * components, components);
  }
  jpeg_finish_decompress(&info);
  return true;
}

TJpegImage Decode(TJpegJob& job) {
  SetUp(&job);
  TJpegImage image;
  if (StartJob(&job)) {
    int components = job.Info.output_components;
    if (components == 1 || components == 3 || components == 4) {
      image.Width = int32_t(job.Info.output_width);
      image.Height = int32_t(job.Info.output_height);
      try {
        image.Pixels.resize(size_t(image.Width) * size_t(image.Height));
      } catch (const std::bad_alloc&) {
        image.Pixels.clear();
      }
      if (image.Empty() || !ReadRows(&job, image.Pixels.data())) image = TJpegImage();
      image.Reduced = job.Reduced && !image.Empty();
    }
  }
  if (job.Created) jpeg_destroy_decompress(&job.Info);
  return image;
}

} // namespace

TJpegImage ReadJpegFile(const std::string& nativePath, int wantWidth, int wantHeight) {
  TJpegJob job;
  job.WantWidth = wantWidth;
  job.WantHeight = wantHeight;
  job.File = std::fopen(nativePath.c_str(), "rb");
  if (!job.File) return {};
  TJpegImage image = Decode(job);
  std::fclose(job.File);
  return image;
}

TJpegImage ReadJpegBytes(const unsigned char* data, size_t size, int wantWidth, int wantHeight) {
  if (!data || size == 0) return {};
  TJpegJob job;
  job.WantWidth = wantWidth;
  job.WantHeight = wantHeight;
  job.Bytes = data;
  job.Size = size;
  return Decode(job);
}

} // namespace qel
