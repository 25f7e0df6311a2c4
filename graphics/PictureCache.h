#pragma once
// Note pictures and logos, decoded once and kept while their file stays the same.
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace qel {

// Decodes a picture file by its extension: "jpg" and "jpeg" through libjpeg, "wmf" and "emf"
// not at all (nothing on this platform reads them), any other through Qt. A null image when
// the file is missing, unreadable or corrupt. The name is a Windows-1252 file name. A JPEG
// picture may come smaller than its file when a wanted size is given (see ReadJpegFile).
QImage DecodePicture(const std::string& fileName, int wantWidth = 0, int wantHeight = 0, bool* reduced = nullptr);

// Pictures by file name, each checked against the file's size and modification time on every
// look-up and decoded again only when they changed. Files that failed to decode are
// remembered the same way. The least recently used pictures are dropped beyond MaxBytes.
class TPictureCache {
public:
  // The picture, or null when the file does not exist or cannot be decoded. Given the size it
  // is drawn at, it may be smaller than its file but covers that size; a picture kept
  // smaller is decoded again when a larger size is asked for.
  std::shared_ptr<const QImage> Get(const std::string& fileName, int wantWidth = 0, int wantHeight = 0);
  void Clear();
  int64_t DecodeCount() const { return FDecodeCount; }
  int64_t MaxBytes = int64_t(512) * 1024 * 1024;

private:
  struct TEntry {
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    std::shared_ptr<const QImage> Picture;
    bool Reduced = false; // decoded smaller than the file's picture
    uint64_t LastUse = 0;
  };
  void Trim();

  std::unordered_map<std::string, TEntry> FEntries;
  int64_t FBytes = 0;
  int64_t FDecodeCount = 0;
  uint64_t FClock = 0;
};

// The program's one cache, shared by every sheet view.
TPictureCache& PictureCache();

} // namespace qel
