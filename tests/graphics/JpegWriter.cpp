#include "JpegWriter.h"

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace qel {

bool WriteJpegFile(const std::string& path, const QImage& image, int quality) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(rgb.width());
  info.image_height = JDIMENSION(rgb.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto* line = const_cast<JSAMPLE*>(rgb.constScanLine(int(info.next_scanline)));
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

} // namespace qel
