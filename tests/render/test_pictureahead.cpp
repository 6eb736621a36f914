// A step picture read ahead on another thread gives what reading it when asked gives.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include "render/uPictureLoader.h"

namespace {
QByteArray Jpeg(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "jpeg").write(image);
  return bytes;
}

QString Write(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
  return path;
}

void ExpectSame(const TStepPicture& a, const TStepPicture& b) {
  EXPECT_EQ(a.State, b.State);
  EXPECT_EQ(a.Problem, b.Problem);
  EXPECT_EQ(a.Size, b.Size);
  EXPECT_EQ(a.Picture.isNull(), b.Picture.isNull());
  if (!a.Picture.isNull()) {
    EXPECT_EQ(a.Picture.toImage(), b.Picture.toImage());
  }
}
}  // namespace

TEST(StepPictureAhead, GivesWhatReadingItWhenAskedGives) {
  QTemporaryDir dir;
  const QByteArray good = Jpeg(120, 80);
  struct TCase {
    const char* What;
    QString Path;
  } cases[] = {
      {"complete", Write(dir, "gut.jpg", good)},
      {"cut off", Write(dir, "halb.jpg", good.left(good.size() / 2))},
      {"no JPEG", Write(dir, "kein.jpg", "kein Bild")},
      {"missing", dir.filePath(QStringLiteral("fehlt.jpg"))},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    QByteArray nowBytes, aheadBytes;
    const TStepPicture now = LoadStepPicture(c.Path, &nowBytes);
    ReadStepPictureAhead(c.Path);
    const TStepPicture ahead = LoadStepPicture(c.Path, &aheadBytes);
    ExpectSame(ahead, now);
    EXPECT_EQ(aheadBytes, nowBytes);
  }
}

TEST(StepPictureAhead, AnotherPictureIsReadAsUsualAndTheOneAheadWaitsForItsTurn) {
  QTemporaryDir dir;
  const QString first = Write(dir, "Step1.jpg", Jpeg(64, 48));
  const QString second = Write(dir, "Step2.jpg", Jpeg(32, 24));
  ReadStepPictureAhead(first);
  ReadStepPictureAhead(second);  // one at a time: this one is read when asked
  EXPECT_EQ(LoadStepPicture(second).Size, QSize(32, 24));
  // The file changes after it was read ahead: the picture is the one read ahead, once; then the
  // file as it is now.
  Write(dir, "Step1.jpg", Jpeg(10, 10));
  EXPECT_EQ(LoadStepPicture(first).Picture.size(), QSize(64, 48));
  EXPECT_EQ(LoadStepPicture(first).Picture.size(), QSize(10, 10));
  // A check never takes the picture read ahead, and leaves it for the load.
  Write(dir, "Step1.jpg", Jpeg(20, 20));
  ReadStepPictureAhead(first);
  EXPECT_TRUE(CheckStepPicture(first, nullptr).Picture.isNull());
  EXPECT_EQ(LoadStepPicture(first).Picture.size(), QSize(20, 20));
}
