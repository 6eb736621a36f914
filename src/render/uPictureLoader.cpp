#include "render/uPictureLoader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <future>
#include <mutex>

namespace {
TStepPicture Refused(const QString& fileName, const QString& why) {
  TStepPicture p;
  p.State = TStepPicture::Refused;
  p.Problem = QStringLiteral("Das Bild %1 kann nicht angezeigt werden: %2")
                  .arg(QDir::toNativeSeparators(fileName), why);
  return p;
}

// A complete JPEG ends with its end-of-image marker; a cut-off one, which the decoder fills up
// with grey, does not. Some writers pad the file after the marker.
bool HasEndMarker(const QByteArray& bytes) {
  qsizetype end = bytes.size();
  while (end > 0 && (bytes[end - 1] == '\0' || bytes[end - 1] == '\n' || bytes[end - 1] == '\r')) --end;
  return end >= 2 && static_cast<unsigned char>(bytes[end - 2]) == 0xFF &&
         static_cast<unsigned char>(bytes[end - 1]) == 0xD9;
}
}  // namespace

namespace {
// What reading a step picture gives, before it becomes a pixmap: no pixmap may be made outside the
// program's main thread, so a picture read ahead waits as an image.
struct TDecoded {
  TStepPicture Result;  // Picture still null
  QImage Image;         // the decoded picture, when it was kept
  QByteArray Jpeg;      // the file, when it loaded completely and as stored
};

TDecoded Decoded(const TStepPicture& p) { return TDecoded{p, QImage(), QByteArray()}; }

TDecoded ReadStepPicture(const QString& fileName, bool keep) {
  auto Refused = [&fileName](const QString& why) { return Decoded(::Refused(fileName, why)); };
  const QFileInfo info(fileName);
  if (!info.exists()) return Decoded(TStepPicture());
  if (!info.isFile()) return Refused(QStringLiteral("das ist keine gewöhnliche Datei."));
  if (info.size() > kMaxStepPictureFileSize)
    return Refused(QStringLiteral("die Datei ist mit %1 MB zu groß.").arg(info.size() / (1024 * 1024)));
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return Refused(QStringLiteral("die Datei kann nicht gelesen werden."));
  const QByteArray bytes = file.read(kMaxStepPictureFileSize + 1);
  if (file.error() != QFileDevice::NoError)
    return Refused(QStringLiteral("die Datei kann nicht gelesen werden."));
  if (bytes.size() > kMaxStepPictureFileSize)
    return Refused(QStringLiteral("die Datei ist zu groß."));

  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  // The content decides, not the name: a file called ".jpg" may hold anything.
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  if (reader.format() != "jpeg") return Refused(QStringLiteral("die Datei enthält kein JPEG-Bild."));
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty())
    return Refused(QStringLiteral("die Datei enthält kein lesbares JPEG-Bild."));
  if (qint64(size.width()) * qint64(size.height()) > kMaxStepPicturePixels)
    return Refused(QStringLiteral("das Bild ist mit %1 x %2 Bildpunkten zu groß.")
                                 .arg(size.width())
                                 .arg(size.height()));
  // An eighth is the smallest size the decoder makes directly, without a full picture first.
  if (!keep) reader.setScaledSize(QSize(qMax(1, size.width() / 8), qMax(1, size.height() / 8)));
  QImage image;
  if (!reader.read(&image) || image.isNull())
    return Refused(QStringLiteral("die Datei enthält kein lesbares JPEG-Bild."));
  TDecoded d;
  TStepPicture& p = d.Result;
  p.Size = size;
  if (keep) d.Image = std::move(image);
  if (HasEndMarker(bytes)) {
    p.State = TStepPicture::Loaded;
    if (reader.transformation() == QImageIOHandler::TransformationNone) d.Jpeg = bytes;
  } else {
    p.State = TStepPicture::Incomplete;
    p.Problem = QStringLiteral("Das Bild %1 ist unvollständig und wird nur zum Teil angezeigt.")
                    .arg(QDir::toNativeSeparators(fileName));
  }
  return d;
}

// The picture read ahead for the first window, until it is asked for.
struct TAhead {
  std::mutex Lock;
  QString FileName;
  std::future<TDecoded> Result;
};

TAhead& Ahead() {
  static TAhead ahead;
  return ahead;
}

// The picture read ahead when it is `fileName`'s, else one read now.
TDecoded Take(const QString& fileName) {
  std::future<TDecoded> ahead;
  {
    TAhead& a = Ahead();
    std::lock_guard<std::mutex> guard(a.Lock);
    if (a.Result.valid() && a.FileName == fileName) {
      ahead = std::move(a.Result);
      a.FileName.clear();
    }
  }
  if (ahead.valid()) return ahead.get();
  return ReadStepPicture(fileName, true);
}

TStepPicture Finished(const QString& fileName, TDecoded d, QByteArray* jpeg) {
  if (jpeg) *jpeg = d.Jpeg;
  if (d.Image.isNull()) return d.Result;
  d.Result.Picture = QPixmap::fromImage(std::move(d.Image));
  if (d.Result.Picture.isNull()) {
    if (jpeg) jpeg->clear();
    return Refused(fileName, QStringLiteral("das Bild kann nicht dargestellt werden."));
  }
  return d.Result;
}
}  // namespace

TStepPicture LoadStepPicture(const QString& fileName, QByteArray* jpeg) {
  if (jpeg) jpeg->clear();
  return Finished(fileName, Take(fileName), jpeg);
}

TStepPicture CheckStepPicture(const QString& fileName, QByteArray* jpeg) {
  if (jpeg) jpeg->clear();
  return Finished(fileName, ReadStepPicture(fileName, false), jpeg);
}

void ReadStepPictureAhead(const QString& fileName) {
  TAhead& a = Ahead();
  std::lock_guard<std::mutex> guard(a.Lock);
  if (a.Result.valid()) return;  // one at a time: the first window shows one picture
  a.FileName = fileName;
  a.Result = std::async(std::launch::async, [fileName] { return ReadStepPicture(fileName, true); });
}
