#include "GraphicsTestSupport.h"
#include "JpegWriter.h"

#include "graphics/JpegReader.h"
#include "graphics/NoteDrawBot.h"
#include "graphics/PictureCache.h"

#include "platform/FileNames.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace qel;

namespace {

// Left half red, right half blue.
QImage TwoColours(int width = 64, int height = 32) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::blue);
  QPainter(&image).fillRect(0, 0, width / 2, height, Qt::red);
  return image;
}

bool Near(QRgb pixel, QColor colour) {
  return std::abs(qRed(pixel) - colour.red()) < 40 && std::abs(qGreen(pixel) - colour.green()) < 40 &&
         std::abs(qBlue(pixel) - colour.blue()) < 40;
}

struct TPictureFiles {
  TTempDir Dir;
  std::string Jpeg(const std::string& name, const QImage& image = TwoColours()) {
    std::string path = Dir.File(name);
    EXPECT_TRUE(WriteJpegFile(path, image));
    return path;
  }
};

} // namespace

TEST(JpegReader, DecodesColourAndGreyPictures) {
  TPictureFiles files;
  QImage image = DecodePicture(files.Jpeg("two.jpg"));
  ASSERT_EQ(image.size(), QSize(64, 32));
  EXPECT_TRUE(Near(image.pixel(5, 16), Qt::red));
  EXPECT_TRUE(Near(image.pixel(60, 16), Qt::blue));
  QImage grey = DecodePicture(files.Jpeg("grey.jpeg", TwoColours().convertToFormat(QImage::Format_Grayscale8)));
  ASSERT_EQ(grey.size(), QSize(64, 32));
  EXPECT_EQ(qRed(grey.pixel(5, 5)), qBlue(grey.pixel(5, 5)));
  // By extension, in any letter case, JPEG files go to libjpeg.
  std::string upper = files.Jpeg("UPPER.JPG");
  TJpegImage direct = ReadJpegFile(upper);
  ASSERT_EQ(direct.Width, 64);
  EXPECT_EQ(DecodePicture(upper).pixel(60, 5), direct.Pixels[5 * 64 + 60]);
  std::string bytes = ReadFileBytes(upper);
  EXPECT_EQ(ReadJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()).Pixels, direct.Pixels);
}

TEST(JpegReader, LargePicturesAreDecodedSmaller) {
  TPictureFiles files;
  QImage image = DecodePicture(files.Jpeg("wide.jpg", TwoColours(9000, 40)));
  EXPECT_EQ(image.size(), QSize(2250, 10));
  EXPECT_TRUE(Near(image.pixel(100, 5), Qt::red));
}

TEST(JpegReader, AWantedSizeDecodesAtTheSmallestScaleThatCoversIt) {
  TPictureFiles files;
  std::string path = files.Jpeg("big.jpg", TwoColours(256, 200));
  TJpegImage full = ReadJpegFile(path);
  EXPECT_EQ(full.Width, 256);
  EXPECT_FALSE(full.Reduced);
  struct {
    int wantWidth, wantHeight, width, height;
  } cases[] = {{60, 40, 64, 50}, {64, 50, 64, 50}, {65, 10, 128, 100}, {10, 101, 256, 200}, {1, 1, 32, 25},
               {300, 300, 256, 200}};
  for (const auto& k : cases) {
    TJpegImage image = ReadJpegFile(path, k.wantWidth, k.wantHeight);
    EXPECT_EQ(image.Width, k.width) << k.wantWidth << "x" << k.wantHeight;
    EXPECT_EQ(image.Height, k.height) << k.wantWidth << "x" << k.wantHeight;
    EXPECT_EQ(image.Reduced, k.width < 256);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(Near(image.Pixels[size_t(image.Width) * 5 + 2], Qt::red));
    EXPECT_TRUE(Near(image.Pixels[size_t(image.Width) * 6 - 3], Qt::blue));
  }
  // The largest side still sets the least reduction; a wanted size only adds to it.
  std::string wide = files.Jpeg("wide.jpg", TwoColours(9000, 40));
  EXPECT_EQ(ReadJpegFile(wide, 100, 5).Width, 1125);
  EXPECT_FALSE(ReadJpegFile(wide, 3000, 10).Reduced);
}

TEST(PictureCache, KeepsASmallerPictureUntilALargerSizeIsAsked) {
  TPictureFiles files;
  TPictureCache cache;
  std::string path = files.Jpeg("note.jpg", TwoColours(320, 240));
  auto small = cache.Get(path, 78, 48);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->size(), QSize(80, 60));
  EXPECT_EQ(cache.Get(path, 70, 40), small);
  EXPECT_EQ(cache.DecodeCount(), 1);
  auto larger = cache.Get(path, 150, 100);
  ASSERT_TRUE(larger);
  EXPECT_EQ(larger->size(), QSize(160, 120));
  EXPECT_EQ(cache.Get(path)->size(), QSize(320, 240)); // no size: the whole picture
  EXPECT_EQ(cache.DecodeCount(), 3);
  EXPECT_EQ(cache.Get(path, 10, 10)->size(), QSize(320, 240)); // a whole picture serves every size
  EXPECT_EQ(cache.DecodeCount(), 3);
}

TEST(PictureCache, ANoteDrawsItsLargePictureFromASmallerDecoding) {
  TPictureFiles files;
  TTestProject project;
  TTestImage image(200, 100);
  TNoteItem* note = project.NoteAt(10, 10, "Picture");
  note->SetImage(files.Jpeg("photo.jpg", TwoColours(640, 400)));
  PictureCache().Clear();
  TNoteDrawBot bot(&image.View);
  bot.Sheet = project.Sheet;
  bot.Note = note;
  bot.DrawText = false;
  bot.Draw();
  // Drawn into 78 by 48 pixels, decoded at an eighth: 80 by 50.
  EXPECT_EQ(PictureCache().Get(note->Data.ImageFile, 78, 48)->size(), QSize(80, 50));
  const QImage drawn = image.Snapshot();
  EXPECT_TRUE(Near(drawn.pixel(20, 30), Qt::red));
  EXPECT_TRUE(Near(drawn.pixel(80, 30), Qt::blue));
  EXPECT_EQ(image.Count(clYellow, QRect(11, 11, 78, 48)), 0);
}

TEST(JpegReader, CorruptOrTruncatedFilesGiveNothing) {
  TPictureFiles files;
  std::string bytes = ReadFileBytes(files.Jpeg("good.jpg", TwoColours(256, 256)));
  std::string truncated = files.Dir.File("truncated.jpg");
  WriteFileBytes(truncated, bytes.substr(0, bytes.size() / 2));
  EXPECT_TRUE(ReadJpegFile(truncated).Empty());
  std::string damaged = bytes;
  for (size_t i = bytes.size() / 3; i < bytes.size() - 2; i += 7) damaged[i] = char(0xFF);
  std::string corrupt = files.Dir.File("corrupt.jpg");
  WriteFileBytes(corrupt, damaged);
  EXPECT_TRUE(ReadJpegFile(corrupt).Empty());
  std::string text = files.Dir.File("text.jpg");
  WriteFileBytes(text, "not a picture at all");
  EXPECT_TRUE(ReadJpegFile(text).Empty());
  std::string headerOnly = files.Dir.File("header.jpg");
  WriteFileBytes(headerOnly, bytes.substr(0, 40));
  EXPECT_TRUE(ReadJpegFile(headerOnly).Empty());
  EXPECT_TRUE(ReadJpegFile(files.Dir.File("missing.jpg")).Empty());
  EXPECT_TRUE(ReadJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()), 100).Empty());
}

TEST(PictureCache, OtherFormatsGoThroughQtAndWindowsMetafilesDrawNothing) {
  TPictureFiles files;
  std::string png = files.Dir.File("two.png");
  TwoColours().save(QString::fromStdString(png), "PNG");
  QImage image = DecodePicture(png);
  ASSERT_EQ(image.size(), QSize(64, 32));
  EXPECT_EQ(image.pixel(5, 5), QColor(Qt::red).rgb());
  std::string wmf = files.Dir.File("drawing.wmf");
  WriteFileBytes(wmf, std::string("\xD7\xCD\xC6\x9A", 4) + std::string(100, '\0'));
  EXPECT_TRUE(DecodePicture(wmf).isNull());
  std::string bad = files.Dir.File("bad.png");
  WriteFileBytes(bad, "\x89PNG\r\n\x1A\n garbage");
  EXPECT_TRUE(DecodePicture(bad).isNull());
}

TEST(PictureCache, DecodesOnceUntilTheFileChanges) {
  TPictureFiles files;
  TPictureCache cache;
  std::string path = files.Jpeg("note.jpg");
  auto first = cache.Get(path);
  ASSERT_TRUE(first);
  EXPECT_EQ(cache.Get(path), first);
  EXPECT_EQ(cache.DecodeCount(), 1);
  files.Jpeg("note.jpg", TwoColours(80, 40)); // another size of file
  auto second = cache.Get(path);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->size(), QSize(80, 40));
  EXPECT_EQ(cache.DecodeCount(), 2);
  DeleteFile(path);
  EXPECT_EQ(cache.Get(path), nullptr);
  // A file that does not decode is remembered too.
  std::string broken = files.Dir.File("broken.jpg");
  WriteFileBytes(broken, "broken");
  EXPECT_EQ(cache.Get(broken), nullptr);
  EXPECT_EQ(cache.Get(broken), nullptr);
  EXPECT_EQ(cache.DecodeCount(), 3);
}

TEST(PictureCache, DropsTheLeastRecentlyUsedBeyondItsLimit) {
  TPictureFiles files;
  TPictureCache cache;
  cache.MaxBytes = 2 * 64 * 32 * 4;
  std::string a = files.Jpeg("a.jpg"), b = files.Jpeg("b.jpg"), c = files.Jpeg("c.jpg");
  cache.Get(a);
  cache.Get(b);
  cache.Get(a);
  cache.Get(c); // b goes
  EXPECT_EQ(cache.DecodeCount(), 3);
  cache.Get(a);
  EXPECT_EQ(cache.DecodeCount(), 3);
  cache.Get(b);
  EXPECT_EQ(cache.DecodeCount(), 4);
}

TEST(PictureCache, CorruptPictureOfANoteDrawsNothing) {
  TPictureFiles files;
  TTestProject project;
  TTestImage image(200, 100);
  TNoteItem* note = project.NoteAt(10, 10, "Picture");
  std::string bytes = ReadFileBytes(files.Jpeg("half.jpg", TwoColours(256, 256)));
  std::string path = files.Dir.File("half.jpg");
  WriteFileBytes(path, bytes.substr(0, bytes.size() / 2));
  note->SetImage(path);
  TNoteDrawBot bot(&image.View);
  bot.Sheet = project.Sheet;
  bot.Note = note;
  bot.DrawText = false;
  bot.Draw();
  EXPECT_EQ(image.Count(clYellow, QRect(11, 11, 78, 48)), 78 * 48);
  // Repaired, it shows.
  files.Jpeg("half.jpg");
  bot.Draw();
  EXPECT_LT(image.Count(clYellow, QRect(11, 11, 78, 48)), 100);
}
