#include "render/uPictureLoader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

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
TStepPicture ReadStepPicture(const QString& fileName, QByteArray* jpeg, bool keep) {
  if (jpeg) jpeg->clear();
  const QFileInfo info(fileName);
  if (!info.exists()) return TStepPicture();
  if (!info.isFile()) return Refused(fileName, QStringLiteral("das ist keine gewöhnliche Datei."));
  if (info.size() > kMaxStepPictureFileSize)
    return Refused(fileName, QStringLiteral("die Datei ist mit %1 MB zu groß.").arg(info.size() / (1024 * 1024)));
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return Refused(fileName, QStringLiteral("die Datei kann nicht gelesen werden."));
  const QByteArray bytes = file.read(kMaxStepPictureFileSize + 1);
  if (file.error() != QFileDevice::NoError)
    return Refused(fileName, QStringLiteral("die Datei kann nicht gelesen werden."));
  if (bytes.size() > kMaxStepPictureFileSize)
    return Refused(fileName, QStringLiteral("die Datei ist zu groß."));

  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  // The content decides, not the name: a file called ".jpg" may hold anything.
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  if (reader.format() != "jpeg") return Refused(fileName, QStringLiteral("die Datei enthält kein JPEG-Bild."));
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty())
    return Refused(fileName, QStringLiteral("die Datei enthält kein lesbares JPEG-Bild."));
  if (qint64(size.width()) * qint64(size.height()) > kMaxStepPicturePixels)
    return Refused(fileName, QStringLiteral("das Bild ist mit %1 x %2 Bildpunkten zu groß.")
                                 .arg(size.width())
                                 .arg(size.height()));
  // An eighth is the smallest size the decoder makes directly, without a full picture first.
  if (!keep) reader.setScaledSize(QSize(qMax(1, size.width() / 8), qMax(1, size.height() / 8)));
  QImage image;
  if (!reader.read(&image) || image.isNull())
    return Refused(fileName, QStringLiteral("die Datei enthält kein lesbares JPEG-Bild."));
  TStepPicture p;
  p.Size = size;
  if (keep) {
    p.Picture = QPixmap::fromImage(std::move(image));
    if (p.Picture.isNull()) return Refused(fileName, QStringLiteral("das Bild kann nicht dargestellt werden."));
  }
  if (HasEndMarker(bytes)) {
    p.State = TStepPicture::Loaded;
    if (jpeg && reader.transformation() == QImageIOHandler::TransformationNone) *jpeg = bytes;
  } else {
    p.State = TStepPicture::Incomplete;
    p.Problem = QStringLiteral("Das Bild %1 ist unvollständig und wird nur zum Teil angezeigt.")
                    .arg(QDir::toNativeSeparators(fileName));
  }
  return p;
}
}  // namespace

TStepPicture LoadStepPicture(const QString& fileName, QByteArray* jpeg) { return ReadStepPicture(fileName, jpeg, true); }

TStepPicture CheckStepPicture(const QString& fileName, QByteArray* jpeg) { return ReadStepPicture(fileName, jpeg, false); }
